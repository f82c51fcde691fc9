// TArchiverOptions: the LHA-style switches every wrapper picks its command line from.
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace sorabu::archive {

enum class TPackFilter { pfArchiver, pfComponent };
enum class TResFileUsage { ruOnPack, ruOnUnpack, ruOnRemoveItem, ruOnUpdate };

// The numeric switches in the order the LHA command line lists them.
inline constexpr std::array<std::string_view, 47> kNumericSwitches = {
    "a", "c", "e", "f", "h", "i", "l", "m", "n", "o", "p", "r", "s", "t", "u", "x",
    "y", "z", "jc", "jd", "je", "jf", "jh", "ji", "jm", "jn", "jp", "jr", "jss", "jw", "jyc", "jyd",
    "jyk", "jyn", "jyo", "ga", "gd", "ge", "gf", "gj", "gm", "gn", "go", "gp", "gs", "gu", "gw"};

struct TArchiverOptions {
  // One signed byte per numeric switch, -1 = not given.
  std::array<std::int8_t, kNumericSwitches.size()> numbers;
  // Text switches, empty = not given.
  std::string w, jo, job, jz, gr;
  std::vector<std::string> jx;  // exclusion patterns
  std::string UserOptions;
  std::vector<std::string> UserFileList;
  TPackFilter PackFilter = TPackFilter::pfComponent;
  std::string ResFileName;
  std::set<TResFileUsage> ResFileUsage = {TResFileUsage::ruOnPack, TResFileUsage::ruOnUnpack,
                                          TResFileUsage::ruOnRemoveItem};

  TArchiverOptions() { numbers.fill(-1); }
  // The switch's value; -1 when not given. An unknown name reads as -1 and cannot be set.
  int Get(std::string_view name) const;
  void Set(std::string_view name, int value);
};

}  // namespace sorabu::archive
