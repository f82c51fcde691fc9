// Answers given in advance, for tests and the command-line tool.
//
// Each question takes the next answer from the queue; a missing answer is Cancel. Messages and
// questions are recorded so a test can check what the user would have seen.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/dialogs.h"

namespace sorabu::dialogs {

class TScriptedDialogs : public TDialogs {
 public:
  struct Message {
    enum Kind { Warning, Information, Error } kind;
    std::string text;
  };

  void Answer(std::string text) { answers_.emplace_back(std::move(text)); }
  void Cancel() { answers_.emplace_back(std::nullopt); }

  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& value) override;
  std::optional<std::string> InputWithHistory(const std::string& caption, const std::string& prompt1,
                                              const std::string& prompt2,
                                              const std::vector<std::string>& history,
                                              const std::string& proposal) override;
  void Warning(const std::string& text) override;
  void Information(const std::string& text) override;
  void Error(const std::string& text) override;
  // Answer: "name size style bgr" is not needed by callers; any answer keeps the font but takes
  // a size from a leading number when there is one.
  std::optional<FontSpec> ChooseFont(const FontSpec& current) override;
  // Answer: the character-set value to choose.
  void ChooseCharSet(int current, const std::function<void(int)>& onChange) override;
  // Answer: "1 20000" (check box, then bytes).
  std::optional<LoadRuleAnswer> LoadRules(const LoadRuleSetup& setup) override;
  // Answer: the mount point or character.
  std::optional<std::string> ChooseDrive(const std::vector<std::string>& drives, const std::string& current) override;
  // Answer: the number ("1", "92").
  std::optional<int> ChooseSort() override;
  // Answer: the field's text; the stored value is offered.
  std::optional<std::string> PickFolderOrProgram(const PickSetup& setup) override;
  // Answer: the path; the folder and name offered are recorded as "folder/name".
  std::optional<std::string> SaveFileName(const std::string& title, const std::string& folder,
                                          const std::string& name) override;

  // Answer: anything for OK.
  bool Confirm(const std::string& caption, const std::string& text) override;
  // Answer: "save" or "discard"; anything else, or none, is Cancel.
  SaveChoice SaveChanges(const std::string& caption, const std::string& text) override;
  // Answer: "replace", "skip" or "rename", with " all" to apply it to the rest.
  CollisionAnswer Collision(const CollisionSetup& setup) override;
  // Answer: the destination; the folder and history are offered as "folder|h1|h2".
  std::optional<std::string> FileOperation(const FileOperationSetup& setup) override;
  // Answer: the letters of the boxes to check ("R", "RH", ""); the current ones are offered.
  std::optional<AttributeAnswer> Attributes(const AttributeSetup& setup) override;
  // Answer: the size text.
  std::optional<std::string> SplitSize(const SplitSetup& setup) override;
  // Answer: the output name, optionally followed by the names in their new order, one per line.
  std::optional<MergeAnswer> Merge(const MergeSetup& setup) override;
  // Answer: anything for OK; the printer is left as it is.
  bool PrinterSetup(QPrinter& printer, bool printing) override;
  // Answer: anything to print from the preview (paint runs once on the printer); none closes it.
  // With previewer set, an answer hands it the printer and paint instead, to play a real preview.
  void PrintPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;
  std::function<void(QPrinter&, const std::function<void(QPrinter&)>&)> previewer;
  // Answer: the four texts "top bottom left right" separated by blanks; offered as
  // "top bottom left right|paper".
  std::optional<PrintMarginAnswer> PrintMargins(const PrintMarginSetup& setup) override;

  // Help requests are written down as "contents", "keyword", "topic 1001" or "page name.html".
  void ShowHelp(const HelpRequest& request) override;
  void CloseHelp() override { helps_.push_back("close"); }
  const std::vector<std::string>& Helps() const { return helps_; }

  const std::vector<Message>& Messages() const { return messages_; }
  // Captions of the questions asked, in order.
  const std::vector<std::string>& Questions() const { return questions_; }
  // The prefilled values and history offered with each question, in order.
  const std::vector<std::string>& Offered() const { return offered_; }
  std::size_t PendingAnswers() const { return answers_.size(); }

 private:
  std::optional<std::string> Next(const std::string& caption);

  std::deque<std::optional<std::string>> answers_;
  std::vector<Message> messages_;
  std::vector<std::string> questions_;
  std::vector<std::string> offered_;
  std::vector<std::string> helps_;
};

}  // namespace sorabu::dialogs
