#include "dialogs/scripted_dialogs.h"

#include <cstdlib>
#include <sstream>

namespace sorabu::dialogs {

std::optional<std::string> TScriptedDialogs::Next(const std::string& caption) {
  questions_.push_back(caption);
  if (answers_.empty()) return std::nullopt;
  auto answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

std::optional<std::string> TScriptedDialogs::InputBox(const std::string& caption, const std::string&,
                                                      const std::string& value) {
  offered_.push_back(value);
  return Next(caption);
}

std::optional<std::string> TScriptedDialogs::InputWithHistory(const std::string& caption,
                                                              const std::string&, const std::string&,
                                                              const std::vector<std::string>& history,
                                                              const std::string& proposal) {
  std::string offered = proposal;
  for (const auto& h : history) offered += "|" + h;
  offered_.push_back(offered);
  return Next(caption);
}

void TScriptedDialogs::Warning(const std::string& text) { messages_.push_back({Message::Warning, text}); }
void TScriptedDialogs::Information(const std::string& text) {
  messages_.push_back({Message::Information, text});
}
void TScriptedDialogs::Error(const std::string& text) { messages_.push_back({Message::Error, text}); }

std::optional<FontSpec> TScriptedDialogs::ChooseFont(const FontSpec& current) {
  auto answer = Next("font");
  if (!answer) return std::nullopt;
  FontSpec chosen = current;
  std::istringstream in(*answer);
  int size = 0;
  if (in >> size && size > 0) chosen.sizePoints = size;
  return chosen;
}

void TScriptedDialogs::ChooseCharSet(int current, const std::function<void(int)>& onChange) {
  offered_.push_back(std::to_string(current));
  auto answer = Next("charset");
  if (!answer) return;
  char* end = nullptr;
  long value = std::strtol(answer->c_str(), &end, 10);
  if (end != answer->c_str()) onChange(static_cast<int>(value));
}

std::optional<LoadRuleAnswer> TScriptedDialogs::LoadRules(const LoadRuleSetup& setup) {
  offered_.push_back(std::string(setup.checked ? "1 " : "0 ") + std::to_string(setup.bytes));
  auto answer = Next(setup.caption);
  if (!answer) return std::nullopt;
  LoadRuleAnswer result{setup.checked, setup.bytes};
  std::istringstream in(*answer);
  int check = 0;
  long long bytes = 0;
  if (in >> check) result.checked = setup.checkEnabled ? check != 0 : setup.checked;
  if (in >> bytes && bytes >= 0) result.bytes = bytes;
  return result;
}

std::optional<std::string> TScriptedDialogs::ChooseDrive(const std::vector<std::string>& drives,
                                                         const std::string& current) {
  (void)drives;
  offered_.push_back(current);
  return Next("drive");
}

std::optional<int> TScriptedDialogs::ChooseSort() {
  auto answer = Next("sort");
  if (!answer) return std::nullopt;
  char* end = nullptr;
  const long value = std::strtol(answer->c_str(), &end, 10);
  if (end == answer->c_str()) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<std::string> TScriptedDialogs::PickFolderOrProgram(const PickSetup& setup) {
  offered_.push_back(setup.stored);
  return Next(setup.caption);
}

std::optional<std::string> TScriptedDialogs::SaveFileName(const std::string& title, const std::string& folder,
                                                          const std::string& name) {
  offered_.push_back(folder + "/" + name);
  return Next(title);
}

}  // namespace sorabu::dialogs
