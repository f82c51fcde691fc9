#include "textcmd/html_to_text.h"

#include <algorithm>
#include <array>
#include <cstring>

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

// upperTag is the tag's name and attributes in capitals, whole or their first 16 bytes.
bool EndsLine(std::string_view upperTag, bool whole) {
  if (upperTag.substr(0, 2) == "/H" || upperTag.substr(0, 2) == "HR") return true;
  if (!whole) return false;
  static constexpr std::array<std::string_view, 13> kExact{
      "BR", "P", "/P", "/TR", "/TD", "LI", "/DL", "OL", "/BLOCKQUOTE", "/TITLE", "/ADDRESS", "FN", "/CENTER"};
  for (std::string_view t : kExact)
    if (upperTag == t) return true;
  return false;
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

// One comment per line read: from the first "<!--" to the first "-->" of the whole carried
// text, when that one does not come before it.
void THtmlToText::CutComment() {
  const std::string_view text(buffer_);
  const std::size_t open = text.find("<!--", open_);
  if (open == std::string_view::npos) {
    open_ = std::max(open_, text.size() >= 3 ? text.size() - 3 : 0);
    return;
  }
  open_ = open;
  const std::size_t close = text.find("-->", close_);
  if (close == std::string_view::npos) {
    close_ = std::max(close_, text.size() >= 2 ? text.size() - 2 : 0);
    return;
  }
  close_ = close;
  if (close < open) return;
  buffer_.erase(open, close + 3 - open);
  // The text now joined across the cut may hold a new "<!--" or "-->".
  open_ = open >= 3 ? open - 3 : 0;
  close_ = open >= 2 ? open - 2 : 0;
  lt_ = std::min(lt_, open);
  gt_ = std::min(gt_, open);
}

void THtmlToText::Compact() {
  if (read_ > kept_) {
    const std::size_t removed = read_ - kept_;
    buffer_.erase(kept_, removed);
    lt_ = std::max(lt_, read_) - removed;
    gt_ = std::max(gt_, read_) - removed;
    read_ = kept_;
  }
}

void THtmlToText::Reset() {
  buffer_.clear();
  kept_ = read_ = lt_ = gt_ = open_ = close_ = 0;
}

// A tag is the text from the first "<" to the first ">" after the kept text; a ">" before that
// "<" drops the kept text with it.
void THtmlToText::Line(std::string_view line) {
  buffer_ += ReplaceEntities(line);
  CutComment();
  static std::string bulletCache;
  std::size_t changed = std::string::npos;  // the first place whose text this line changed
  for (;;) {
    char* const data = buffer_.data();
    const std::size_t size = buffer_.size();
    lt_ = std::max(lt_, read_);
    const void* lt = std::memchr(data + lt_, '<', size - lt_);
    if (lt == nullptr) {
      lt_ = size;
      break;
    }
    const std::size_t s = lt_ = static_cast<std::size_t>(static_cast<const char*>(lt) - data);
    gt_ = std::max(gt_, read_);
    const void* gt = std::memchr(data + gt_, '>', size - gt_);
    if (gt == nullptr) {
      gt_ = size;
      break;
    }
    const std::size_t e = gt_ = static_cast<std::size_t>(static_cast<const char*>(gt) - data);
    if (e < s) {
      kept_ = 0;
      read_ = e + 1;
      changed = 0;
      continue;
    }
    // Only the first bytes of a tag decide what it does.
    const std::string_view name(data + s + 1, e - s - 1);
    const std::string tag = textconv::UpperCaseCp932(name.substr(0, 16));
    const bool whole = name.size() <= 16;
    std::memmove(data + kept_, data + read_, s - read_);
    kept_ += s - read_;
    read_ = e + 1;
    if (!EndsLine(tag, whole)) {
      changed = std::min(changed, kept_);
    } else {
      Write(std::string_view(data, kept_));
      // What follows the tag starts the next piece; LI and OL put their mark in front of it.
      std::string_view mark;
      if (whole && tag == "LI") mark = Cp932("・", bulletCache);
      if (whole && tag == "OL") mark = "#.";
      if (tag.substr(0, 2) == "HR") emit_(std::string(60, '-'));
      if (!mark.empty()) std::memcpy(data, mark.data(), mark.size());
      kept_ = mark.size();
      changed = 0;
    }
    if (whole && tag == "PRE") pre_ = true;
    if (whole && tag == "/PRE") pre_ = false;
  }
  Compact();
  if (changed != std::string::npos) {
    open_ = std::min(open_, changed >= 3 ? changed - 3 : 0);
    close_ = std::min(close_, changed >= 2 ? changed - 2 : 0);
  }
  if (pre_) {
    Write(buffer_);
    Reset();
  }
}

void THtmlToText::Finish() {
  if (!buffer_.empty()) Write(buffer_);
  Reset();
}

}  // namespace sorabu::textcmd
