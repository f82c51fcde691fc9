// The drive information dialog "ドライブ情報": a pie of used (red) and free (blue) space with
// labels and percentages, the summary and cluster lines, and a note.
#pragma once

#include <QDialog>

#include "dialogs/dialogs.h"

class QLabel;
class QPieSeries;
class QChart;

namespace sorabu::ui {

class TDriveInfoDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TDriveInfoDialog(const dialogs::TDialogs::DriveInfoSetup& setup, QWidget* parent = nullptr);

  QChart* Chart() const { return chart_; }
  QPieSeries* Series() const { return series_; }
  QLabel* Summary() const { return summary_; }
  QLabel* Clusters() const { return clusters_; }
  QLabel* Note() const { return note_; }

 private:
  QChart* chart_;
  QPieSeries* series_;
  QLabel* summary_;
  QLabel* clusters_;
  QLabel* note_;
};

}  // namespace sorabu::ui
