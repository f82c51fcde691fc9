#include "ui/TDriveInfoDialog.h"

#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPieSeries>
#include <QPieSlice>
#include <QVBoxLayout>

#include "uitext/qt_text.h"

namespace sorabu::ui {

TDriveInfoDialog::TDriveInfoDialog(const dialogs::TDialogs::DriveInfoSetup& setup, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DriveInfo"));
  setWindowTitle(uitext::FromCp932(setup.caption));
  resize(520, 480);
  auto* layout = new QVBoxLayout(this);

  series_ = new QPieSeries(this);
  series_->setName(uitext::FromCp932(setup.seriesTitle));
  // Slices take qreal: bytes of the largest volumes stay exact enough for a picture.
  QPieSlice* used = series_->append(uitext::FromCp932(setup.usedLabel), static_cast<qreal>(setup.used));
  QPieSlice* free = series_->append(uitext::FromCp932(setup.freeLabel), static_cast<qreal>(setup.free));
  used->setBrush(Qt::red);
  free->setBrush(Qt::blue);
  for (QPieSlice* slice : series_->slices()) {
    slice->setLabel(QStringLiteral("%1%2%").arg(slice->label()).arg(slice->percentage() * 100.0, 0, 'f', 1));
    slice->setLabelVisible(true);
  }
  chart_ = new QChart;
  chart_->addSeries(series_);
  chart_->setTitle(uitext::FromCp932(setup.chartTitle));
  chart_->legend()->hide();
  auto* view = new QChartView(chart_, this);
  view->setObjectName(QStringLiteral("Chart1"));
  view->setRenderHint(QPainter::Antialiasing);
  layout->addWidget(view, 1);

  auto label = [&](const std::string& text, const char* name) {
    auto* l = new QLabel(uitext::FromCp932(text), this);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(l);
    return l;
  };
  summary_ = label(setup.summary, "Label1");
  clusters_ = label(setup.clusters, "Label2");
  note_ = label(setup.note, "Label3");

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

}  // namespace sorabu::ui
