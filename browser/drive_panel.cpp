#include "browser/drive_panel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFontMetrics>
#include <QStorageInfo>
#include <QStyle>
#include <QToolButton>

#include "browser/shell_namespace.h"

namespace sorabu::browser {

namespace {

enum class DriveKind { Removable, Fixed, Optical, Network };

DriveKind KindOf(const QStorageInfo& v) {
  const QByteArray fs = v.fileSystemType();
  if (fs.startsWith("nfs") || fs == "cifs" || fs == "smb3" || fs.startsWith("fuse.sshfs")) return DriveKind::Network;
  if (fs == "iso9660" || fs == "udf") return DriveKind::Optical;
  const QString root = v.rootPath();
  if (root.startsWith(QLatin1String("/media/")) || root.startsWith(QLatin1String("/run/media/"))) return DriveKind::Removable;
  return DriveKind::Fixed;
}

QIcon Glyph(DriveKind kind) {
  QStyle* s = QApplication::style();
  switch (kind) {
    case DriveKind::Removable: return s->standardIcon(QStyle::SP_DriveFDIcon);
    case DriveKind::Optical: return s->standardIcon(QStyle::SP_DriveCDIcon);
    case DriveKind::Network: return s->standardIcon(QStyle::SP_DriveNetIcon);
    default: return s->standardIcon(QStyle::SP_DriveHDIcon);
  }
}

}  // namespace

QString VolumeText(const QString& drive) {
  const QStorageInfo v(drive);
  switch (KindOf(v)) {
    case DriveKind::Removable:
    case DriveKind::Optical: return QStringLiteral("[]");
    case DriveKind::Network: {
      const QString remote = QString::fromLocal8Bit(v.device());
      if (!remote.isEmpty()) return remote;
      break;
    }
    default: break;
  }
  return QLatin1Char('[') + v.name() + QLatin1Char(']');
}

TDrivePanel::TDrivePanel(QWidget* parent) : QWidget(parent), group_(new QButtonGroup(this)) {
  group_->setExclusive(true);
  resize(240, 30);
  connect(group_, &QButtonGroup::idClicked, this, [this](int id) {
    if (id < 0 || id >= drives_.size()) return;
    current_ = drives_[id];
    emit Changed(current_);
  });
}

QString TDrivePanel::Caption(const QString& drive) const {
  QString name = DisplayName(drive);
  if (ShowVolumeID) name += QLatin1Char(' ') + VolumeText(drive);
  return Case == TextCase::tcUpperCase ? name : name.toLower();
}

void TDrivePanel::SetDrives(const QStringList& drives) {
  qDeleteAll(buttons_);
  buttons_.clear();
  drives_ = drives;
  for (int i = 0; i < drives_.size(); ++i) {
    auto* b = new QToolButton(this);
    b->setCheckable(true);
    b->setAutoRaise(false);
    b->setText(Caption(drives_[i]));
    b->setToolTip(drives_[i]);
    b->setIcon(Glyph(KindOf(QStorageInfo(drives_[i]))));
    b->setIconSize(QSize(20, 20));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    group_->addButton(b, i);
    buttons_ << b;
    b->show();
  }
  Layout();
  if (!current_.isEmpty()) SelectDrive(current_);
}

void TDrivePanel::Layout() {
  int x = LeftMargin, y = TopMargin, right = 0, bottom = 0;
  for (QToolButton* b : buttons_) {
    // A mount point can be longer than a letter and a colon: the button grows to its caption.
    const int w = std::max(BtnWidth, b->sizeHint().width());
    b->setGeometry(x, y, w, BtnHeight);
    right = std::max(right, x + w);
    bottom = std::max(bottom, y + BtnHeight);
    if (Bounds == BoundsStyle::bsHorizontal) x += w + BtnSpace;
    else y += BtnHeight + BtnSpace;
  }
  setMinimumSize(right + LeftMargin, bottom + TopMargin);
  resize(std::max(240, right + LeftMargin), std::max(30, bottom + TopMargin));
}

bool TDrivePanel::SelectDrive(const QString& drive) {
  const int i = drives_.indexOf(drive);
  if (i < 0) return false;
  buttons_[i]->setChecked(true);
  current_ = drive;
  emit Changed(drive);
  return true;
}

QToolButton* TDrivePanel::Button(int index) const { return index >= 0 && index < buttons_.size() ? buttons_[index] : nullptr; }

}  // namespace sorabu::browser
