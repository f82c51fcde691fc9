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

bool TScriptedDialogs::Confirm(const std::string& caption, const std::string& text) {
  offered_.push_back(text);
  return Next(caption).has_value();
}

TDialogs::SaveChoice TScriptedDialogs::SaveChanges(const std::string& caption, const std::string& text) {
  offered_.push_back(text);
  const auto answer = Next(caption);
  if (answer == "save") return SaveChoice::Save;
  if (answer == "discard") return SaveChoice::Discard;
  return SaveChoice::Cancel;
}

TDialogs::CollisionAnswer TScriptedDialogs::Collision(const CollisionSetup& setup) {
  offered_.push_back(setup.name);
  const auto answer = Next("collision");
  CollisionAnswer result;
  if (!answer) return result;
  const std::string& a = *answer;
  if (a.rfind("replace", 0) == 0) result.choice = CollisionChoice::Replace;
  else if (a.rfind("skip", 0) == 0) result.choice = CollisionChoice::Skip;
  else if (a.rfind("rename", 0) == 0) result.choice = CollisionChoice::Rename;
  result.applyToAll = a.find(" all") != std::string::npos;
  return result;
}

std::optional<std::string> TScriptedDialogs::FileOperation(const FileOperationSetup& setup) {
  std::string offered = setup.folder;
  for (const auto& h : setup.history) offered += "|" + h;
  offered_.push_back(offered);
  return Next("file operation");
}

std::optional<TDialogs::AttributeAnswer> TScriptedDialogs::Attributes(const AttributeSetup& setup) {
  std::string current;
  if (setup.readOnly) current += 'R';
  if (setup.archive) current += 'A';
  if (setup.system) current += 'S';
  if (setup.hidden) current += 'H';
  offered_.push_back(current);
  const auto answer = Next("attributes");
  if (!answer) return std::nullopt;
  auto has = [&](char c) { return answer->find(c) != std::string::npos; };
  return AttributeAnswer{has('R'), has('A'), has('S'), has('H')};
}

std::optional<std::string> TScriptedDialogs::SplitSize(const SplitSetup& setup) {
  offered_.push_back(setup.fileName);
  return Next("split");
}

std::optional<TDialogs::MergeAnswer> TScriptedDialogs::Merge(const MergeSetup& setup) {
  std::string offered = setup.folder;
  for (const auto& n : setup.names) offered += "|" + n;
  offered_.push_back(offered);
  const auto answer = Next("merge");
  if (!answer) return std::nullopt;
  MergeAnswer result;
  std::istringstream in(*answer);
  std::getline(in, result.output);
  for (std::string line; std::getline(in, line);) result.names.push_back(line);
  if (result.names.empty()) result.names = setup.names;
  return result;
}

bool TScriptedDialogs::PrinterSetup(QPrinter&, bool printing) {
  return Next(printing ? "print" : "printer setup").has_value();
}

void TScriptedDialogs::PrintPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
  if (!Next("print preview")) return;
  if (previewer) previewer(printer, paint);
  else paint(printer);
}

std::optional<TDialogs::PrintMarginAnswer> TScriptedDialogs::PrintMargins(const PrintMarginSetup& setup) {
  offered_.push_back(setup.top + " " + setup.bottom + " " + setup.left + " " + setup.right + "|" + setup.paper);
  const auto answer = Next("print margins");
  if (!answer) return std::nullopt;
  PrintMarginAnswer result;
  std::istringstream in(*answer);
  in >> result.top >> result.bottom >> result.left >> result.right;
  return result;
}

void TScriptedDialogs::ShowHelp(const HelpRequest& request) {
  switch (request.kind) {
    case HelpRequest::Contents: helps_.push_back("contents"); break;
    case HelpRequest::Keyword: helps_.push_back("keyword"); break;
    case HelpRequest::Topic: helps_.push_back("topic " + std::to_string(request.topic)); break;
    case HelpRequest::Page: helps_.push_back("page " + request.page); break;
  }
}

}  // namespace sorabu::dialogs
