// Plays the print preview dialog offscreen: its widget records the pages as pictures on the
// printer's preview engine, may record them again (turning the paper, as its buttons do), and its
// print button paints the printer itself.
#pragma once

#include <QObject>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <functional>

inline int PreviewPages(QPrinter& printer, const std::function<void(QPrinter&)>& paint, bool turn, bool print) {
  QPrintPreviewWidget preview(&printer);
  QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, &preview, [&paint](QPrinter* p) { paint(*p); });
  preview.updatePreview();
  if (turn) {
    const bool portrait = printer.pageLayout().orientation() == QPageLayout::Portrait;
    preview.setOrientation(portrait ? QPageLayout::Landscape : QPageLayout::Portrait);
  }
  const int pages = preview.pageCount();
  if (print) preview.print();
  return pages;
}
