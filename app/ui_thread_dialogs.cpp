#include "app/ui_thread_dialogs.h"

namespace sorabu::app {

std::optional<std::string> TUiThreadDialogs::InputBox(const std::string& caption, const std::string& prompt,
                                                      const std::string& value) {
  return Ask(Asking(), [&] { return inner_.InputBox(caption, prompt, value); });
}
std::optional<std::string> TUiThreadDialogs::Password(const std::string& caption, const std::string& prompt) {
  return Ask(Asking(), [&] { return inner_.Password(caption, prompt); });
}
std::optional<std::string> TUiThreadDialogs::InputWithHistory(const std::string& caption, const std::string& prompt1,
                                                              const std::string& prompt2,
                                                              const std::vector<std::string>& history,
                                                              const std::string& proposal) {
  return Ask(Asking(), [&] { return inner_.InputWithHistory(caption, prompt1, prompt2, history, proposal); });
}
void TUiThreadDialogs::Warning(const std::string& text) {
  Ask(owner_, [&] { inner_.Warning(text); });
}
void TUiThreadDialogs::Information(const std::string& text) {
  Ask(owner_, [&] { inner_.Information(text); });
}
void TUiThreadDialogs::Error(const std::string& text) {
  Ask(owner_, [&] { inner_.Error(text); });
}
std::optional<dialogs::FontSpec> TUiThreadDialogs::ChooseFont(const dialogs::FontSpec& current) {
  return Ask(Asking(), [&] { return inner_.ChooseFont(current); });
}
void TUiThreadDialogs::ChooseCharSet(int current, const std::function<void(int)>& onChange) {
  Ask(Asking(), [&] { inner_.ChooseCharSet(current, onChange); });
}
std::optional<dialogs::LoadRuleAnswer> TUiThreadDialogs::LoadRules(const dialogs::LoadRuleSetup& setup) {
  return Ask(Asking(), [&] { return inner_.LoadRules(setup); });
}
std::optional<std::string> TUiThreadDialogs::ChooseDrive(const std::vector<std::string>& drives,
                                                         const std::string& current) {
  return Ask(Asking(), [&] { return inner_.ChooseDrive(drives, current); });
}
std::optional<int> TUiThreadDialogs::ChooseSort() {
  return Ask(Asking(), [&] { return inner_.ChooseSort(); });
}
std::optional<std::string> TUiThreadDialogs::PickFolderOrProgram(const PickSetup& setup) {
  return Ask(Asking(), [&] { return inner_.PickFolderOrProgram(setup); });
}
std::optional<std::string> TUiThreadDialogs::SaveFileName(const std::string& title, const std::string& folder,
                                                          const std::string& name) {
  return Ask(Asking(), [&] { return inner_.SaveFileName(title, folder, name); });
}
std::optional<dialogs::TDialogs::ColumnAnswer> TUiThreadDialogs::Columns(const ColumnSetup& setup) {
  return Ask(Asking(), [&] { return inner_.Columns(setup); });
}

bool TUiThreadDialogs::Confirm(const std::string& caption, const std::string& text) {
  return Ask(Asking(), [&] { return inner_.Confirm(caption, text); });
}
dialogs::TDialogs::SaveChoice TUiThreadDialogs::SaveChanges(const std::string& caption, const std::string& text) {
  return OnThreadOf(Asking(), [&] { return inner_.SaveChanges(caption, text); });
}
dialogs::TDialogs::CollisionAnswer TUiThreadDialogs::Collision(const CollisionSetup& setup) {
  return Ask(Asking(), [&] { return inner_.Collision(setup); });
}
void TUiThreadDialogs::ErrorList(const std::string& caption, const std::string& text,
                                 const std::vector<std::string>& lines) {
  Ask(owner_, [&] { inner_.ErrorList(caption, text, lines); });
}
std::optional<std::string> TUiThreadDialogs::FileOperation(const FileOperationSetup& setup) {
  return Ask(Asking(), [&] { return inner_.FileOperation(setup); });
}
std::optional<dialogs::TDialogs::AttributeAnswer> TUiThreadDialogs::Attributes(const AttributeSetup& setup) {
  return Ask(Asking(), [&] { return inner_.Attributes(setup); });
}
std::optional<std::string> TUiThreadDialogs::SplitSize(const SplitSetup& setup) {
  return Ask(Asking(), [&] { return inner_.SplitSize(setup); });
}
std::optional<dialogs::TDialogs::MergeAnswer> TUiThreadDialogs::Merge(const MergeSetup& setup) {
  return Ask(Asking(), [&] { return inner_.Merge(setup); });
}

bool TUiThreadDialogs::PrinterSetup(QPrinter& printer, bool printing) {
  return Ask(Asking(), [&] { return inner_.PrinterSetup(printer, printing); });
}
void TUiThreadDialogs::PrintPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
  Ask(Asking(), [&] { inner_.PrintPreview(printer, paint); });
}
std::optional<dialogs::TDialogs::FindAnswer> TUiThreadDialogs::FindText(const FindSetup& setup) {
  return Ask(Asking(), [&] { return inner_.FindText(setup); });
}

std::optional<dialogs::TDialogs::RegExpAnswer> TUiThreadDialogs::RegExpDialog(const RegExpSetup& setup) {
  return Ask(Asking(), [&] { return inner_.RegExpDialog(setup); });
}

std::optional<dialogs::TDialogs::ListAnswer> TUiThreadDialogs::ListDialog(const ListSetup& setup) {
  return Ask(Asking(), [&] { return inner_.ListDialog(setup); });
}

std::optional<dialogs::TDialogs::GrepAnswer> TUiThreadDialogs::GrepDialog(const GrepSetup& setup) {
  return Ask(Asking(), [&] { return inner_.GrepDialog(setup); });
}

void TUiThreadDialogs::ShowReplace(const ReplaceSetup& setup, const ReplaceHandlers& handlers) {
  OnThreadOf(Asking(), [&] { inner_.ShowReplace(setup, handlers); });
}

void TUiThreadDialogs::CloseReplace() {
  OnThreadOf(Asking(), [&] { inner_.CloseReplace(); });
}

std::optional<dialogs::TDialogs::PrintMarginAnswer> TUiThreadDialogs::PrintMargins(const PrintMarginSetup& setup) {
  return Ask(Asking(), [&] { return inner_.PrintMargins(setup); });
}

void TUiThreadDialogs::DriveInfo(const DriveInfoSetup& setup) {
  Ask(Asking(), [&] { inner_.DriveInfo(setup); });
}
std::optional<dialogs::TDialogs::DirCommandAnswer> TUiThreadDialogs::DirCommand(const DirCommandSetup& setup) {
  return Ask(Asking(), [&] { return inner_.DirCommand(setup); });
}
void TUiThreadDialogs::Properties(const PropertiesSetup& setup) {
  Ask(Asking(), [&] { inner_.Properties(setup); });
}

}  // namespace sorabu::app
