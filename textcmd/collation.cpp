#include "textcmd/collation.h"

#include <memory>
#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include "textconv/cp932.h"

namespace sorabu::textcmd {

std::string FoldedKey(std::string_view line) {
  std::string key(line);
  bool trail = false;
  for (char& c : key) {
    const auto b = static_cast<unsigned char>(c);
    if (!trail && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    trail = !trail && textconv::IsLeadByte(b);
  }
  return key;
}

SortKeyer LocaleSortKeyer() {
  UErrorCode status = U_ZERO_ERROR;
  std::string locale = uloc_getDefault();
  if (locale.empty() || locale == "en_US_POSIX" || locale == "c") locale = "ja";
  UCollator* raw = ucol_open(locale.c_str(), &status);
  if (U_FAILURE(status) || raw == nullptr) return FoldedKey;
  ucol_setStrength(raw, UCOL_SECONDARY);
  std::shared_ptr<UCollator> collator(raw, ucol_close);
  return [collator](std::string_view line) {
    const std::u16string text = textconv::DecodeCp932(line);
    std::string key(text.size() * 4 + 16, '\0');
    for (;;) {
      const int32_t n = ucol_getSortKey(collator.get(), reinterpret_cast<const UChar*>(text.data()),
                                        static_cast<int32_t>(text.size()),
                                        reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
      if (n <= static_cast<int32_t>(key.size())) {
        key.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);  // without the closing 0
        break;
      }
      key.resize(static_cast<std::size_t>(n));
    }
    return key;
  };
}

}  // namespace sorabu::textcmd
