// The HTML-to-text model written the plain way: the whole carried text searched from its start
// and edited in place for every tag. Slow (its time grows with the square of a long line), but
// short enough to read as the definition of what THtmlToText must produce.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "textcmd/cleanup.h"
#include "textcmd/html_to_text.h"
#include "textconv/cp932.h"

namespace sorabu::textcmd::test {

class THtmlReference {
 public:
  THtmlReference(int variant, std::function<void(std::string_view)> emit) : variant_(variant), emit_(std::move(emit)) {}

  void Line(std::string_view line) {
    buffer_ += ReplaceEntities(line);
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

  void Write(std::string_view piece) {
    if (variant_ <= 1) {
      emit_(piece);
      return;
    }
    std::string text(piece);
    if (variant_ == 2 || variant_ == 3) text = RemoveByte(text, '\t');
    if (variant_ == 2) {
      std::size_t i = 0;
      while (i < text.size() && text[i] == ' ') ++i;
      while (i + 1 < text.size() && static_cast<unsigned char>(text[i]) == 0x81 && text[i + 1] == 0x40) i += 2;
      text.erase(0, i);
    }
    text = RemoveNewlines(text);
    if (!text.empty()) emit_(text);
  }

  int variant_;
  std::function<void(std::string_view)> emit_;
  std::string buffer_;
  bool pre_ = false;
};

}  // namespace sorabu::textcmd::test
