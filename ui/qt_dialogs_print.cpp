// The printing dialogs of the dialog interface: Qt's print and preview dialogs on the window's
// printer, and the margins dialog.
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>

#include "ui/TPrintSetDialog.h"
#include "ui/qt_dialogs.h"

namespace sorabu::ui {

bool TQtDialogs::PrinterSetup(QPrinter& printer, bool printing) {
  QPrintDialog dialog(&printer, parent_);
  // The whole text is always printed: no page range, no selection.
  dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                    QAbstractPrintDialog::PrintCollateCopies);
  if (!printing) {
    dialog.setWindowTitle(QStringLiteral("プリンタ設定"));
    // Setting up only: the confirming button does not promise a print.
    for (QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>())
      if (QAbstractButton* ok = box->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("OK"));
  }
  return dialog.exec() == QDialog::Accepted;
}

void TQtDialogs::PrintPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
  QPrintPreviewDialog dialog(&printer, parent_);
  dialog.setWindowTitle(QStringLiteral("印刷プレビュー"));
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter* p) { paint(*p); });
  dialog.exec();
}

std::optional<dialogs::TDialogs::PrintMarginAnswer> TQtDialogs::PrintMargins(const PrintMarginSetup& setup) {
  TPrintSetDialog dialog(setup, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Answer();
}

}  // namespace sorabu::ui
