// The input dialog with history: two prompts above an editable combo whose list is the history.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;

namespace sorabu::ui {

class TInputDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TInputDialog(QWidget* parent = nullptr);

  void SetPrompts(const QString& first, const QString& second);
  void SetHistory(const QStringList& items);
  void SetText(const QString& text);
  QString Text() const;
  QLabel* Prompt1() const { return prompt1_; }
  QLabel* Prompt2() const { return prompt2_; }
  QComboBox* Combo() const { return combo_; }

 private:
  QLabel* prompt1_;
  QLabel* prompt2_;
  QComboBox* combo_;
};

}  // namespace sorabu::ui
