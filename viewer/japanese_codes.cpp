#include "viewer/japanese_codes.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QHash>

#include "textconv/kanji_code.h"

namespace sorabu::viewer {

namespace {

const char* CodecName(textconv::TextForm form) { return form == textconv::TextForm::Jis ? "ISO-2022-JP" : "EUC-JP"; }

QByteArrayView View(std::string_view bytes) { return {bytes.data(), static_cast<qsizetype>(bytes.size())}; }

}  // namespace

textconv::TextForm ReadFormOf(int kanjiCode) {
  switch (kanjiCode) {
    case textconv::Euc: return textconv::TextForm::EucJp;
    case textconv::Jis83:
    case textconv::Jis78: return textconv::TextForm::Jis;
    default: return textconv::TextForm::Cp932;
  }
}

std::string JapaneseToUtf8(std::string_view bytes, textconv::TextForm form) {
  QStringDecoder decode(CodecName(form));
  if (!decode.isValid()) return std::string(bytes);
  const QString text = decode(View(bytes));
  return text.toStdString();
}

std::vector<std::string> LinesToUtf8(const std::vector<std::string>& lines, textconv::TextForm form) {
  std::vector<std::string> out;
  out.reserve(lines.size());
  // A JIS line ends in ASCII (the converter starts each line there, as the whole text does).
  for (const std::string& line : lines) out.push_back(JapaneseToUtf8(line, form));
  return out;
}

std::string Utf8ToJapanese(std::string_view utf8, textconv::TextForm form, std::size_t* unmappable) {
  const QString text = QString::fromUtf8(View(utf8));
  QStringEncoder encode(CodecName(form));
  if (!encode.isValid()) {
    if (unmappable) *unmappable = 0;
    return std::string(utf8);
  }
  QByteArray bytes = encode(text);
  std::size_t misses = 0;
  // What the code cannot hold comes back changed (a substitute, a full-width twin). Only when
  // the whole text does is each character tried alone, each distinct one once, and written
  // again with a "?" for each that does not fit.
  QStringDecoder decode(CodecName(form));
  if (QString(decode(bytes)) != text) {
    QHash<char32_t, bool> fits;
    QString fitted;
    fitted.reserve(text.size());
    for (char32_t c : text.toUcs4()) {
      auto it = fits.constFind(c);
      if (it == fits.constEnd()) {
        const QString one = QString::fromUcs4(&c, 1);
        QStringEncoder alone(CodecName(form));
        QStringDecoder back(CodecName(form));
        it = fits.insert(c, QString(back(QByteArray(alone(one)))) == one);
      }
      if (*it) {
        fitted += QString::fromUcs4(&c, 1);
      } else {
        fitted += QLatin1Char('?');
        ++misses;
      }
    }
    QStringEncoder again(CodecName(form));
    bytes = again(fitted);
  }
  if (unmappable) *unmappable = misses;
  return bytes.toStdString();
}

}  // namespace sorabu::viewer
