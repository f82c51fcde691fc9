#include "viewer/rich_document.h"

#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <cmath>

namespace sorabu::viewer {

void InsertRichText(QTextCursor& cursor, const RtfDocument& doc, const QTextCharFormat& base) {
  bool firstParagraph = true;
  for (const auto& paragraph : doc.paragraphs) {
    if (!firstParagraph) cursor.insertBlock();
    firstParagraph = false;
    for (const auto& run : paragraph) {
      QTextCharFormat f = base;
      if (run.bold) f.setFontWeight(QFont::Bold);
      if (run.italic) f.setFontItalic(true);
      if (run.underline) f.setFontUnderline(true);
      if (run.halfPoints > 0) f.setFontPointSize(run.halfPoints / 2.0);
      if (run.rgb) f.setForeground(QColor(static_cast<QRgb>(*run.rgb)));
      cursor.insertText(QString::fromUtf16(run.text.data(), static_cast<qsizetype>(run.text.size())), f);
    }
  }
}

RtfDocument RichTextOf(const QTextDocument& document) {
  RtfDocument doc;
  for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
    std::vector<RtfRun> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      const QTextCharFormat f = fragment.charFormat();
      RtfRun run;
      const QString text = fragment.text();
      run.text.assign(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
      run.bold = f.fontWeight() >= QFont::Bold;
      run.italic = f.fontItalic();
      run.underline = f.fontUnderline();
      if (f.hasProperty(QTextFormat::FontPointSize)) run.halfPoints = static_cast<int>(std::lround(f.fontPointSize() * 2));
      if (f.hasProperty(QTextFormat::ForegroundBrush)) run.rgb = f.foreground().color().rgb() & 0xFFFFFF;
      if (!runs.empty()) {
        RtfRun& last = runs.back();
        if (last.bold == run.bold && last.italic == run.italic && last.underline == run.underline &&
            last.halfPoints == run.halfPoints && last.rgb == run.rgb) {
          last.text += run.text;
          continue;
        }
      }
      runs.push_back(std::move(run));
    }
    doc.paragraphs.push_back(std::move(runs));
  }
  if (!doc.paragraphs.empty() && doc.paragraphs.back().empty()) doc.paragraphs.pop_back();
  return doc;
}

}  // namespace sorabu::viewer
