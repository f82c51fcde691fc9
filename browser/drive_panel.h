// TDrivePanel, a panel of exclusive buttons, one per drive (a mounted volume shown as a drive),
// laid out left to right or top to bottom. Pressing a button, or selecting its drive from code,
// raises Changed.
#pragma once

#include <QIcon>
#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QToolButton;

namespace sorabu::browser {

class TDrivePanel : public QWidget {
  Q_OBJECT
 public:
  enum class BoundsStyle { bsHorizontal, bsVertical };
  enum class TextCase { tcLowerCase, tcUpperCase };

  explicit TDrivePanel(QWidget* parent = nullptr);

  // Replaces the drives (mount points) and lays the buttons out again.
  void SetDrives(const QStringList& drives);
  const QStringList& DrivesShown() const { return drives_; }
  // Presses the drive's button; false when it is not on the panel.
  bool SelectDrive(const QString& drive);
  QString CurrentDrive() const { return current_; }
  QToolButton* Button(int index) const;
  // The caption of a drive: its name and, with ShowVolumeID, its volume text.
  QString Caption(const QString& drive) const;

  bool ShowVolumeID = false;
  TextCase Case = TextCase::tcUpperCase;
  BoundsStyle Bounds = BoundsStyle::bsHorizontal;
  int BtnWidth = 52;
  int BtnHeight = 26;
  int BtnSpace = 2;
  int LeftMargin = 2;
  int TopMargin = 2;

 signals:
  void Changed(const QString& drive);

 private:
  void Layout();

  QStringList drives_;
  QString current_;
  QButtonGroup* group_;
  QList<QToolButton*> buttons_;
};

// The volume text: "[]" for removable and optical media, the remote name for network volumes,
// "[" + label + "]" for the others.
QString VolumeText(const QString& drive);

}  // namespace sorabu::browser
