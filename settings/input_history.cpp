#include "settings/input_history.h"

#include <algorithm>

#include "dialogs/dialogs.h"
#include "settings/ini_file.h"

namespace sorabu::settings {

std::vector<std::string> LoadHistory(const TIniFile& ini, std::string_view section, std::string_view countKey) {
  std::vector<std::string> list;
  const int count = ini.ReadInteger(section, countKey, 0);
  for (int i = 0; i < count && i < 100000; ++i) {
    std::string item = ini.ReadString(section, "Items_" + std::to_string(i), "");
    if (!item.empty() && item.front() == '#') item = item.substr(1, item.size() >= 2 ? item.size() - 2 : 0);
    list.push_back(std::move(item));
  }
  return list;
}

void StoreHistory(TIniFile& ini, std::string_view section, std::vector<std::string>& list,
                  const std::string& text, std::string_view countKey, int written) {
  if (!text.empty()) {
    auto it = std::find(list.begin(), list.end(), text);
    if (it != list.end()) list.erase(it);
    list.insert(list.begin(), text);
  }
  for (std::size_t i = list.size(); i-- > 0;)
    if (list[i].empty()) list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
  ini.WriteInteger(section, countKey, static_cast<long long>(list.size()));
  for (std::size_t i = 0; i < list.size() && i < static_cast<std::size_t>(written); ++i)
    ini.WriteString(section, "Items_" + std::to_string(i), "#" + list[i] + "#");
}

std::string AskWithHistory(dialogs::TDialogs& dialogs, const std::string& iniPath,
                           std::string_view section, const std::string& caption,
                           const std::string& prompt1, const std::string& prompt2,
                           const std::string& proposal) {
  std::vector<std::string> list = LoadHistory(TIniFile(iniPath), section);
  auto answer = dialogs.InputWithHistory(caption, prompt1, prompt2, list, proposal);
  if (!answer) return {};
  TIniFile ini(iniPath);
  StoreHistory(ini, section, list, *answer);
  ini.UpdateFile();
  return *answer;
}

}  // namespace sorabu::settings
