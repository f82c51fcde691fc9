#include "textcmd/html_to_text.h"

#include <algorithm>
#include <array>

#include "textcmd/cleanup.h"
#include "textconv/cp932.h"

namespace sorabu::textcmd {
namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

std::string ReplaceNoCase(std::string_view text, std::string_view entity, std::string_view by) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '&' && EqualNoCase(text.substr(i, entity.size()), entity)) {
      out.append(by);
      i += entity.size();
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

const std::string& Cp932(const char* utf8, std::string& cache) {
  if (cache.empty()) cache = textconv::Utf8ToCp932(utf8);
  return cache;
}

}  // namespace

std::string ReplaceEntities(std::string_view line) {
  static const std::string lt = textconv::Utf8ToCp932("＜");
  static const std::string gt = textconv::Utf8ToCp932("＞");
  const std::array<std::pair<std::string_view, std::string_view>, 7> table{{
      {"&lt;", lt}, {"&gt;", gt}, {"&amp;", "&"}, {"&quot;", "\""},
      {"&reg;", "(R)"}, {"&copy;", "(C)"}, {"&nbsp;", " "},
  }};
  std::string text(line);
  for (const auto& [entity, by] : table)
    if (text.find(entity) != std::string::npos) text = ReplaceNoCase(text, entity, by);
  return text;
}

THtmlToText::THtmlToText(int variant, std::function<void(std::string_view)> emit)
    : variant_(variant), emit_(std::move(emit)) {}

bool THtmlToText::EndsLine(std::string_view tag) {
  if (tag.substr(0, 2) == "/H" || tag.substr(0, 2) == "HR") return true;
  static constexpr std::array<std::string_view, 13> kExact{
      "BR", "P", "/P", "/TR", "/TD", "LI", "/DL", "OL", "/BLOCKQUOTE", "/TITLE", "/ADDRESS", "FN", "/CENTER"};
  for (std::string_view t : kExact)
    if (tag == t) return true;
  return false;
}

void THtmlToText::Write(std::string_view piece) {
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

void THtmlToText::Line(std::string_view line) {
  buffer_ += ReplaceEntities(line);
  // noOpen_ bytes at the start of the buffer hold no "<": text without tags that ends no line
  // piles up there, and is not searched again for every line that follows.
  const std::size_t open = buffer_.find("<!--", noOpen_);
  if (open != std::string::npos) {
    const std::size_t close = buffer_.find("-->");
    if (close != std::string::npos && close >= open) buffer_.erase(open, close + 3 - open);
  }
  static std::string bulletCache;
  std::size_t from = 0;  // text before from is consumed
  for (;;) {
    const std::size_t s = buffer_.find('<', std::max(from, noOpen_));
    if (s == std::string::npos) {
      noOpen_ = buffer_.size();
      break;
    }
    const std::size_t e = buffer_.find('>', from);
    if (e == std::string::npos) {
      noOpen_ = s;
      break;
    }
    if (e < s) {
      from = e + 1;
      continue;
    }
    const std::string tag = textconv::UpperCaseCp932(std::string_view(buffer_).substr(s + 1, e - s - 1));
    if (!EndsLine(tag)) {
      buffer_.erase(s, e + 1 - s);
      noOpen_ = s;
    } else {
      Write(std::string_view(buffer_).substr(from, s - from));
      // What follows the tag starts the next piece; LI and OL put their mark in front of it.
      std::string_view mark;
      if (tag == "LI") mark = Cp932("・", bulletCache);
      if (tag == "OL") mark = "#.";
      if (tag.substr(0, 2) == "HR") emit_(std::string(60, '-'));
      buffer_.replace(0, e + 1, mark);
      from = 0;
      noOpen_ = 0;
    }
    if (tag == "PRE") pre_ = true;
    if (tag == "/PRE") pre_ = false;
  }
  if (from > 0) {
    buffer_.erase(0, from);
    noOpen_ = noOpen_ > from ? noOpen_ - from : 0;
  }
  if (pre_) {
    Write(buffer_);
    buffer_.clear();
    noOpen_ = 0;
  }
}

void THtmlToText::Finish() {
  if (!buffer_.empty()) Write(buffer_);
  buffer_.clear();
  noOpen_ = 0;
}

}  // namespace sorabu::textcmd
