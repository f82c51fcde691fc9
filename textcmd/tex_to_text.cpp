#include "textcmd/tex_to_text.h"

#include "textcmd/plain_search.h"
#include "textconv/cp932.h"

namespace sorabu::textcmd {

TTexToText::TTexToText() {
  static const char* const kPatterns[] = {
      "\\\\document(class|style)[^{}]*{[^}]*}",
      "\\\\usepackage[^{}]*{[^}]*}",
      "\\\\pagestyle{.*}",
      "\\\\begin({.*}|\\[.*\\])+",
      "\\\\end{.*}",
      "\\\\[vh]space{.*}",
      "\\\\parbox\\[.*\\]{.*}",
      "\\\\[@a-zA-Z０-ω亜-熙]+",
      "%.*$",
  };
  for (const char* pattern : kPatterns) {
    auto awk = std::make_unique<regex::TAWKStr>();
    awk->LineSeparator = regex::mcls_CRLF;
    awk->SetRegExp(textconv::Utf8ToCp932(pattern));
    deletions_.push_back(std::move(awk));
  }
}

std::string TTexToText::Line(std::string_view line) const {
  std::string s(line);
  for (const auto& awk : deletions_) awk->GSub("", s);
  if (ContainsText(s, "{}")) s = ReplaceText(s, "{}", "");
  if (ContainsText(s, "[]")) s = ReplaceText(s, "[]", "");
  return s;
}

}  // namespace sorabu::textcmd
