// The HTML-to-text model written the plain way: the whole carried text searched from its start
// and edited in place for every tag, entities and the clean-up of each written piece said as
// regular expressions. Slow (its time grows with the square of a long line), but short enough to
// read as the definition of what THtmlToText must produce, and sharing none of its code.
#pragma once

#include <functional>
#include <regex>
#include <string>
#include <string_view>
#include <utility>

#include "textconv/cp932.h"

namespace sorabu::textcmd::test {

class THtmlReference {
 public:
  THtmlReference(int variant, std::function<void(std::string_view)> emit) : variant_(variant), emit_(std::move(emit)) {}

  void Line(std::string_view line) {
    buffer_ += Entities(std::string(line));
    const std::size_t open = buffer_.find("<!--");
    if (open != std::string::npos) {
      const std::size_t close = buffer_.find("-->");
      if (close != std::string::npos && close >= open) buffer_.erase(open, close + 3 - open);
    }
    std::size_t from = 0;
    for (;;) {
      const std::size_t s = buffer_.find('<', from);
      if (s == std::string::npos) break;
      const std::size_t e = buffer_.find('>', from);
      if (e == std::string::npos) break;
      if (e < s) {
        from = e + 1;
        continue;
      }
      const std::string tag = textconv::UpperCaseCp932(std::string_view(buffer_).substr(s + 1, e - s - 1));
      if (!EndsLine(tag)) {
        buffer_.erase(s, e + 1 - s);
      } else {
        Write(std::string_view(buffer_).substr(from, s - from));
        std::string mark;
        if (tag == "LI") mark = textconv::Utf8ToCp932("・");
        if (tag == "OL") mark = "#.";
        if (tag.substr(0, 2) == "HR") emit_(std::string(60, '-'));
        buffer_.replace(0, e + 1, mark);
        from = 0;
      }
      if (tag == "PRE") pre_ = true;
      if (tag == "/PRE") pre_ = false;
    }
    buffer_.erase(0, from);
    if (pre_) {
      Write(buffer_);
      buffer_.clear();
    }
  }

  void Finish() {
    if (!buffer_.empty()) Write(buffer_);
    buffer_.clear();
  }

 private:
  static bool EndsLine(std::string_view tag) {
    if (tag.substr(0, 2) == "/H" || tag.substr(0, 2) == "HR") return true;
    for (std::string_view t : {"BR", "P", "/P", "/TR", "/TD", "LI", "/DL", "OL", "/BLOCKQUOTE", "/TITLE",
                               "/ADDRESS", "FN", "/CENTER"})
      if (tag == t) return true;
    return false;
  }

  // Each entity, in this order, when its own spelling stands in the text: then every spelling of
  // it in any case ("&AMP;" alone stays). What one gives is looked at by the entities after it.
  static std::string Entities(std::string text) {
    const std::pair<const char*, std::string> table[] = {
        {"&lt;", textconv::Utf8ToCp932("＜")}, {"&gt;", textconv::Utf8ToCp932("＞")}, {"&amp;", "&"},
        {"&quot;", "\""}, {"&reg;", "(R)"}, {"&copy;", "(C)"}, {"&nbsp;", " "}};
    for (const auto& [entity, by] : table)
      if (text.find(entity) != std::string::npos)
        text = std::regex_replace(text, std::regex(entity, std::regex::icase), by);
    return text;
  }

  // Variants 2 and 3 drop tabs that stand as characters (a lead byte takes the next byte, a tab
  // too, with it); 2 then drops the half-width blanks at the start and the full-width ones after
  // them; every variant above 1 drops each CR and LF byte and writes nothing for what is left.
  void Write(std::string_view piece) {
    std::string text(piece);
    if (variant_ >= 2) {
      static const std::regex tab(R"(([\x81-\x9F\xE0-\xFC][\s\S])|\t)"), lead("^ *(\x81@)*"), breaks("[\r\n]");
      if (variant_ <= 3) text = std::regex_replace(text, tab, "$1");
      if (variant_ == 2) text = std::regex_replace(text, lead, "", std::regex_constants::format_first_only);
      text = std::regex_replace(text, breaks, "");
      if (text.empty()) return;
    }
    emit_(text);
  }

  int variant_;
  std::function<void(std::string_view)> emit_;
  std::string buffer_;
  bool pre_ = false;
};

}  // namespace sorabu::textcmd::test
