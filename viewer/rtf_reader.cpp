// RTF reader: one left-to-right pass over the bytes with a stack of group states.
//
// Each group copies its parent's state (character format, destination, \uc count) on "{" and
// drops it on "}", so formatting and skipped destinations end with their group. Destinations
// that hold no document text (font and style tables, document information, pictures, headers,
// footers, field instructions, anything marked \*) are read for their braces only. \bin data is
// stepped over by its length, so braces inside binary data never unbalance the reader.
//
// Character bytes are code page 932. A lead byte written as \'hh waits for the next byte, which
// may come from another \'hh, an escaped \\ \{ \}, or raw text, to form a double-byte character
// (\'8a\'bf is one kanji); anything else in between ends the wait and the lead byte is shown on
// its own (the lenient decoder maps it to a private-use character). Raw double-byte characters
// are taken whole, so a raw trail byte 0x5C, 0x7B or 0x7D is never read as "\", "{" or "}".
//
// After \uN the next \uc characters (bytes, \'hh escapes and control words each count one) are
// the fallback for readers without Unicode and are skipped; a brace ends the fallback early.
//
// Limits: groups deeper than kRtfMaxGroupDepth are counted but their content is dropped;
// numeric parameters saturate; the input is never read past its end. Reading stops where the
// outermost group closes, so trailing padding after the document is ignored.
#include "viewer/rtf_reader.h"

#include "textconv/unicode_text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <unordered_map>
#include <utility>

#include "textconv/cp932.h"

namespace sorabu::viewer {
namespace {

using sorabu::textconv::IsLeadByte;
using sorabu::textconv::IsTrailByte;

constexpr int kMaxParameter = 1'000'000'000;
constexpr int kMaxHalfPoints = 3276;  // 1638 pt, the largest size word processors accept
constexpr int kMaxUnicodeSkip = 64;

enum class Destination { Text, ColorTable, Skip };

struct CharFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool hidden = false;
  int halfPoints = 0;
  int colorIndex = 0;
};

struct GroupState {
  CharFormat format;
  int unicodeSkip = 1;
  Destination destination = Destination::Text;
};

enum class Word {
  Par, Line, Tab, Bold, Italic, Underline, UnderlineNone, Hidden, FontSize, Color, Plain,
  Unicode, UnicodeSkip, Bin, Red, Green, Blue, ColorTable, Skip, Char,
};

struct WordInfo {
  Word word;
  char16_t ch = 0;
};

const std::unordered_map<std::string_view, WordInfo>& WordTable() {
  static const std::unordered_map<std::string_view, WordInfo> table = [] {
    std::unordered_map<std::string_view, WordInfo> t{
        {"par", {Word::Par}}, {"sect", {Word::Par}}, {"page", {Word::Par}},
        {"row", {Word::Par}}, {"line", {Word::Line}}, {"tab", {Word::Tab}},
        {"cell", {Word::Tab}}, {"b", {Word::Bold}}, {"i", {Word::Italic}},
        {"ulnone", {Word::UnderlineNone}}, {"v", {Word::Hidden}}, {"fs", {Word::FontSize}},
        {"cf", {Word::Color}}, {"plain", {Word::Plain}}, {"u", {Word::Unicode}},
        {"uc", {Word::UnicodeSkip}}, {"bin", {Word::Bin}}, {"red", {Word::Red}},
        {"green", {Word::Green}}, {"blue", {Word::Blue}}, {"colortbl", {Word::ColorTable}},
        {"emdash", {Word::Char, u'\u2014'}}, {"endash", {Word::Char, u'\u2013'}},
        {"emspace", {Word::Char, u'\u2003'}}, {"enspace", {Word::Char, u'\u2002'}},
        {"bullet", {Word::Char, u'\u2022'}}, {"lquote", {Word::Char, u'\u2018'}},
        {"rquote", {Word::Char, u'\u2019'}}, {"ldblquote", {Word::Char, u'\u201C'}},
        {"rdblquote", {Word::Char, u'\u201D'}},
    };
    // Every underline style shows as an underline.
    for (std::string_view name :
         {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth",
          "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",
          "ulwave"}) {
      t.emplace(name, WordInfo{Word::Underline});
    }
    // Destinations whose content is not document text.
    for (std::string_view name :
         {"fonttbl", "stylesheet", "info", "pict", "header", "headerl", "headerr", "headerf",
          "footer", "footerl", "footerr", "footerf", "fldinst", "listtable", "listoverridetable",
          "revtbl", "rsidtbl", "filetbl", "xmlnstbl", "themedata", "colorschememapping",
          "datastore", "latentstyles", "generator", "objdata", "objclass", "objname",
          "footnote", "annotation", "atnid", "atnauthor", "bkmkstart", "bkmkend", "pn",
          "nonshppict", "shpinst", "xe", "tc", "txe", "private", "template", "pgdsctbl",
          "docvar", "userprops", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc",
          "aftncn", "formfield", "datafield", "mmathPr"}) {
      t.emplace(name, WordInfo{Word::Skip});
    }
    return t;
  }();
  return table;
}

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }

class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) { stack_.emplace_back(); }

  RtfDocument Read() {
    while (pos_ < in_.size() && !done_) {
      const auto c = Byte(pos_);
      if (c == '\\') {
        ++pos_;
        ReadControl();
        continue;
      }
      ignorableNext_ = false;
      if (c == '{') {
        ++pos_;
        OpenGroup();
      } else if (c == '}') {
        ++pos_;
        CloseGroup();
      } else if (c == '\r' || c == '\n') {
        ++pos_;  // line ends in the source carry no meaning
      } else {
        ReadText();
      }
    }
    FlushLead();
    if (!paragraph_.empty()) doc_.paragraphs.push_back(std::move(paragraph_));
    return std::move(doc_);
  }

 private:
  unsigned char Byte(std::size_t i) const { return static_cast<unsigned char>(in_[i]); }
  GroupState& State() { return stack_.back(); }
  bool Dropping() const { return overflow_ > 0 || stack_.back().destination == Destination::Skip; }

  // Consumes one fallback character; true when the caller must discard what it read.
  bool InFallback(int cost) {
    if (fallbackLeft_ <= 0) return false;
    fallbackLeft_ = std::max(0, fallbackLeft_ - cost);
    return true;
  }

  void OpenGroup() {
    FlushLead();
    fallbackLeft_ = 0;
    if (overflow_ > 0 || static_cast<int>(stack_.size()) > kRtfMaxGroupDepth) {
      ++overflow_;
      return;
    }
    stack_.push_back(stack_.back());
  }

  void CloseGroup() {
    FlushLead();
    fallbackLeft_ = 0;
    if (overflow_ > 0) {
      --overflow_;
      return;
    }
    if (stack_.size() <= 1) return;  // a stray "}" outside every group
    stack_.pop_back();
    if (stack_.size() == 1) done_ = true;
  }

  void ReadText() {
    const auto c = Byte(pos_);
    if (State().destination == Destination::ColorTable && !Dropping()) {
      ++pos_;
      if (c == ';') EndColor();
      return;
    }
    const bool pair = !pendingLead_ && IsLeadByte(c) && pos_ + 1 < in_.size() &&
                      IsTrailByte(Byte(pos_ + 1));
    const std::size_t length = pair ? 2 : 1;
    pos_ += length;
    if (InFallback(static_cast<int>(length)) || Dropping()) return;
    if (pair) {
      EmitBytes(in_.substr(pos_ - 2, 2));
    } else {
      EmitByte(c);
    }
  }

  void ReadControl() {
    if (pos_ >= in_.size()) return;
    const auto c = Byte(pos_);
    if (IsAsciiLetter(c)) {
      ReadControlWord();
      return;
    }
    ++pos_;
    ignorableNext_ = c == '*';
    if (c == '*') return;
    if (c == '\'') {
      // Up to two hex digits are taken; fewer than two make no byte.
      int value = 0;
      int digits = 0;
      while (digits < 2 && pos_ < in_.size() && HexValue(Byte(pos_)) >= 0) {
        value = value * 16 + HexValue(Byte(pos_));
        ++digits;
        ++pos_;
      }
      if (digits < 2) value = -1;
      if (InFallback(1) || Dropping() || value < 0) return;
      if (State().destination == Destination::Text) EmitByte(static_cast<unsigned char>(value));
      return;
    }
    if (InFallback(1) || Dropping() || State().destination != Destination::Text) return;
    switch (c) {
      case '\\': case '{': case '}': EmitByte(c); break;
      case '~': EmitChar(u'\u00A0'); break;
      case '_': EmitChar(u'\u2011'); break;
      case '\r': case '\n': EndParagraph(); break;
      default: break;  // \- (optional hyphen), \| \: and unknown symbols show nothing
    }
  }

  void ReadControlWord() {
    const std::size_t start = pos_;
    while (pos_ < in_.size() && IsAsciiLetter(Byte(pos_))) ++pos_;
    const std::string_view name = in_.substr(start, pos_ - start);
    bool hasParam = false;
    bool negative = false;
    int param = 0;
    if (pos_ + 1 < in_.size() && Byte(pos_) == '-' && IsAsciiDigit(Byte(pos_ + 1))) {
      negative = true;
      ++pos_;
    }
    while (pos_ < in_.size() && IsAsciiDigit(Byte(pos_))) {
      hasParam = true;
      const long long next = param * 10LL + (Byte(pos_) - '0');
      param = static_cast<int>(std::min<long long>(kMaxParameter, next));
      ++pos_;
    }
    if (negative) param = -param;
    if (pos_ < in_.size() && Byte(pos_) == ' ') ++pos_;  // the delimiter belongs to the word
    FlushLead();
    ControlWord(name, hasParam, param);
  }

  void ControlWord(std::string_view name, bool hasParam, int param) {
    const bool ignorable = std::exchange(ignorableNext_, false);
    const auto& table = WordTable();
    const auto it = table.find(name);
    const Word word = it == table.end() ? Word::Skip : it->second.word;
    const bool known = it != table.end();
    if (known && word == Word::Bin) {
      // The data bytes are stepped over whatever state the reader is in.
      const auto length = static_cast<std::size_t>(hasParam ? std::max(0, param) : 0);
      pos_ += std::min(length, in_.size() - pos_);
      InFallback(1);
      return;
    }
    if (InFallback(1) || Dropping()) return;
    GroupState& state = State();
    if (ignorable) {
      state.destination = Destination::Skip;
      return;
    }
    if (!known) return;
    if (state.destination == Destination::ColorTable) {
      const int component = std::clamp(param, 0, 255);
      if (word == Word::Red) red_ = component, colorSeen_ = true;
      if (word == Word::Green) green_ = component, colorSeen_ = true;
      if (word == Word::Blue) blue_ = component, colorSeen_ = true;
      return;
    }
    const bool on = !hasParam || param != 0;
    CharFormat& format = state.format;
    switch (word) {
      case Word::Par: EndParagraph(); break;
      case Word::Line: EmitChar(kRtfLineBreak); break;
      case Word::Tab: EmitChar(u'\t'); break;
      case Word::Char: EmitChar(it->second.ch); break;
      case Word::Bold: format.bold = on; break;
      case Word::Italic: format.italic = on; break;
      case Word::Underline: format.underline = on; break;
      case Word::UnderlineNone: format.underline = false; break;
      case Word::Hidden: format.hidden = on; break;
      case Word::FontSize:
        format.halfPoints = std::clamp(hasParam ? param : 0, 0, kMaxHalfPoints);
        break;
      case Word::Color: format.colorIndex = std::max(0, param); break;
      case Word::Plain: format = CharFormat{}; break;
      case Word::Unicode: EmitUnicode(hasParam, param); break;
      case Word::UnicodeSkip: state.unicodeSkip = std::clamp(param, 0, kMaxUnicodeSkip); break;
      case Word::ColorTable:
        state.destination = Destination::ColorTable;
        colors_.clear();
        red_ = green_ = blue_ = 0;
        colorSeen_ = false;
        break;
      case Word::Skip: state.destination = Destination::Skip; break;
      case Word::Red: case Word::Green: case Word::Blue: case Word::Bin: break;
    }
  }

  void EmitUnicode(bool hasParam, int param) {
    if (!hasParam) return;
    char16_t unit = u'\uFFFD';
    if (param >= -32768 && param < 0) unit = static_cast<char16_t>(param + 65536);
    if (param >= 0 && param <= 65535) unit = static_cast<char16_t>(param);
    EmitChar(unit);
    fallbackLeft_ = State().unicodeSkip;
  }

  void EndColor() {
    if (colorSeen_) {
      colors_.push_back(static_cast<uint32_t>(red_ << 16 | green_ << 8 | blue_));
    } else {
      colors_.push_back(std::nullopt);  // an empty entry means the default colour
    }
    red_ = green_ = blue_ = 0;
    colorSeen_ = false;
  }

  void EndParagraph() {
    FlushLead();
    if (State().format.hidden) return;
    doc_.paragraphs.push_back(std::move(paragraph_));
    paragraph_.clear();
  }

  // One byte of character data; a lead byte waits for its trail byte.
  void EmitByte(unsigned char b) {
    if (pendingLead_) {
      const unsigned char lead = *std::exchange(pendingLead_, std::nullopt);
      if (IsTrailByte(b)) {
        const std::array<char, 2> pair{static_cast<char>(lead), static_cast<char>(b)};
        EmitBytes(std::string_view(pair.data(), pair.size()));
        return;
      }
      EmitSingle(lead);
    }
    if (IsLeadByte(b)) {
      pendingLead_ = b;
      return;
    }
    EmitSingle(b);
  }

  void FlushLead() {
    if (pendingLead_) EmitSingle(*std::exchange(pendingLead_, std::nullopt));
  }

  void EmitSingle(unsigned char b) {
    if ((b < 0x20 && b != '\t') || b == 0x7F) return;  // control bytes are not text
    const char c = static_cast<char>(b);
    EmitBytes(std::string_view(&c, 1));
  }

  void EmitBytes(std::string_view bytes) {
    // A pair that is no assigned code decodes one byte at a time.
    std::u16string text;
    for (std::size_t i = 0; i < bytes.size();) {
      i += sorabu::textconv::DecodeCp932Char(bytes, i, text);
    }
    Append(text);
  }

  void EmitChar(char16_t c) {
    FlushLead();
    Append(std::u16string_view(&c, 1));
  }

  void Append(std::u16string_view text) {
    const GroupState& state = State();
    if (state.format.hidden || state.destination != Destination::Text || overflow_ > 0) return;
    RtfRun run;
    run.bold = state.format.bold;
    run.italic = state.format.italic;
    run.underline = state.format.underline;
    run.halfPoints = state.format.halfPoints;
    const auto index = static_cast<std::size_t>(state.format.colorIndex);
    if (index < colors_.size()) run.rgb = colors_[index];
    if (paragraph_.empty() || !SameFormat(paragraph_.back(), run)) {
      paragraph_.push_back(std::move(run));
    }
    paragraph_.back().text.append(text);
  }

  static bool SameFormat(const RtfRun& a, const RtfRun& b) {
    return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
           a.halfPoints == b.halfPoints && a.rgb == b.rgb;
  }

  std::string_view in_;
  std::size_t pos_ = 0;
  std::vector<GroupState> stack_;  // stack_[0] is the state outside every group
  int overflow_ = 0;               // groups opened beyond the depth limit
  bool done_ = false;
  bool ignorableNext_ = false;     // a \* waits for its destination word
  int fallbackLeft_ = 0;
  std::optional<unsigned char> pendingLead_;
  std::vector<std::optional<uint32_t>> colors_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool colorSeen_ = false;
  std::vector<RtfRun> paragraph_;
  RtfDocument doc_;
};

void AppendUtf8(std::u16string_view text, std::string& out) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // a lone surrogate
    }
    textconv::AppendUtf8(out, c);
  }
}

}  // namespace

RtfDocument ReadRtf(std::string_view bytes) { return Reader(bytes).Read(); }

std::string DumpRtfDocument(const RtfDocument& document) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (std::size_t p = 0; p < document.paragraphs.size(); ++p) {
    if (p > 0) out += '\n';
    for (const RtfRun& run : document.paragraphs[p]) {
      std::string attributes;
      const auto add = [&attributes](std::string_view a) {
        if (!attributes.empty()) attributes += ' ';
        attributes += a;
      };
      if (run.bold) add("b");
      if (run.italic) add("i");
      if (run.underline) add("u");
      if (run.halfPoints != 0) add(std::to_string(run.halfPoints));
      if (run.rgb) {
        std::string colour = "#";
        for (int shift = 20; shift >= 0; shift -= 4) colour += kHex[(*run.rgb >> shift) & 0xF];
        add(colour);
      }
      if (attributes.empty()) {
        AppendUtf8(run.text, out);
      } else {
        out += '[' + attributes + '|';
        AppendUtf8(run.text, out);
        out += ']';
      }
    }
  }
  return out;
}

}  // namespace sorabu::viewer
