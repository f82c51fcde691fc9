// The editable combo box the search forms share: its list is a history of CP932 texts, the user
// types into it, and nothing typed is added to the list (the callers keep the history).
#pragma once

#include <string>
#include <vector>

class QComboBox;
class QWidget;

namespace sorabu::ui {

QComboBox* NewHistoryCombo(QWidget* parent, const char* objectName, const std::vector<std::string>& history,
                           const std::string& text);

}  // namespace sorabu::ui
