// The file list's four looks, numbered as the settings file and the keypad keys 1 to 4 give them.
#pragma once

namespace sorabu::browser {

enum class TViewStyle { LargeIcons = 1, SmallIcons = 2, List = 3, Details = 4 };

// A stored or typed number as a style; out of range is the list.
constexpr TViewStyle ViewStyleOf(long long number) {
  return number >= 1 && number <= 4 ? static_cast<TViewStyle>(number) : TViewStyle::List;
}

}  // namespace sorabu::browser
