#include "ui/TForm3.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QScreen>
#include <QWindow>
#include <QVBoxLayout>

namespace sorabu::ui {

TForm3::TForm3() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("Form3"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(292, 178);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, QColor(0, 0, 160));
  p.setColor(QPalette::WindowText, Qt::white);
  setPalette(p);
  auto* layout = new QVBoxLayout(this);
  auto* product = new QLabel(QStringLiteral("ソラブ"), this);
  QFont big = product->font();
  big.setBold(true);
  big.setPixelSize(40);
  product->setFont(big);
  product->setAlignment(Qt::AlignCenter);
  version_ = new QLabel(QStringLiteral("Ver. 1.0"), this);
  QFont bold = version_->font();
  bold.setBold(true);
  version_->setFont(bold);
  version_->setAlignment(Qt::AlignCenter);
  version_->setText(QStringLiteral("Ver. %1.%2").arg(SORABU_VERSION_MAJOR).arg(SORABU_VERSION_MINOR));
  layout->addWidget(product);
  layout->addWidget(version_);
  if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->geometry().center() - rect().center());
  // Gone when another window of the program becomes active.
  connect(qApp, &QApplication::focusWindowChanged, this, [this](QWindow* focus) {
    if (focus && focus != windowHandle()) close();
  });
}

bool TForm3::event(QEvent* event) {
  if (event->type() == QEvent::WindowDeactivate) close();
  return QWidget::event(event);
}

}  // namespace sorabu::ui
