// Interim answers until the file-operation dialogs exist: every question is Cancel.
#include "ui/qt_dialogs.h"

namespace sorabu::ui {

bool TQtDialogs::Confirm(const std::string&, const std::string&) { return false; }
dialogs::TDialogs::CollisionAnswer TQtDialogs::Collision(const CollisionSetup&) { return {}; }
void TQtDialogs::ErrorList(const std::string& caption, const std::string& text, const std::vector<std::string>& lines) {
  TDialogs::ErrorList(caption, text, lines);
}
std::optional<std::string> TQtDialogs::FileOperation(const FileOperationSetup&) { return std::nullopt; }
std::optional<dialogs::TDialogs::AttributeAnswer> TQtDialogs::Attributes(const AttributeSetup&) { return std::nullopt; }
std::optional<std::string> TQtDialogs::SplitSize(const SplitSetup&) { return std::nullopt; }
std::optional<dialogs::TDialogs::MergeAnswer> TQtDialogs::Merge(const MergeSetup&) { return std::nullopt; }

}  // namespace sorabu::ui
