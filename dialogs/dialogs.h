// The one door through which every command asks the user something.
//
// A command asks (through this interface), transforms (core code) and shows (the window). The
// window supplies an implementation that opens real dialogs; tests and sorabu-cli supply scripted
// answers. All texts are code page 932 byte strings; an empty optional means Cancel.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Printing hands the window's printer to the dialogs that set it up; this interface only passes
// it on, so it needs no more than the name.
class QPrinter;

namespace sorabu::dialogs {

// The font character set of Japanese Shift-JIS text, the one the program's texts are in.
inline constexpr int kShiftJisCharSet = 128;

struct FontSpec {
  std::string name;       // CP932
  int sizePoints = 9;
  int style = 0;          // 1 bold, 2 italic, 4 underline, 8 strike-out
  std::uint32_t bgr = 0;  // colour as 00BBGGRR
  int charSet = kShiftJisCharSet;
};

// The stream-reading and read-limit settings dialogs share one form.
struct LoadRuleSetup {
  std::string caption;
  std::string checkCaption;
  std::string label;
  bool checked = true;
  bool checkEnabled = true;
  long long bytes = 0;
};
struct LoadRuleAnswer {
  bool checked = true;
  long long bytes = 0;
};

// An entry of the application menu: the command line it runs and the name it shows (CP932).
struct AppEntry {
  std::string commandLine;
  std::string name;
  bool operator==(const AppEntry&) const = default;
};

class TDialogs {
 public:
  virtual ~TDialogs() = default;

  // One-line input box: caption, prompt and a prefilled value.
  virtual std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& value) = 0;
  // A password, typed unseen.
  virtual std::optional<std::string> Password(const std::string& caption, const std::string& prompt) {
    return InputBox(caption, prompt, "");
  }
  // The input dialog with history: two prompts above an editable combo holding history.
  virtual std::optional<std::string> InputWithHistory(const std::string& caption,
                                                      const std::string& prompt1,
                                                      const std::string& prompt2,
                                                      const std::vector<std::string>& history,
                                                      const std::string& proposal) = 0;

  virtual void Warning(const std::string& text) = 0;
  virtual void Information(const std::string& text) = 0;
  virtual void Error(const std::string& text) = 0;

  virtual std::optional<FontSpec> ChooseFont(const FontSpec& current) = 0;
  // The character set dialog; onChange runs at every change of the selection.
  virtual void ChooseCharSet(int current, const std::function<void(int)>& onChange) = 0;
  virtual std::optional<LoadRuleAnswer> LoadRules(const LoadRuleSetup& setup) = 0;

  // The drive dialog (TForm10): drives are mount points; current is the one to preselect. The
  // answer is the pressed drive's mount point or the one character typed into its edit.
  virtual std::optional<std::string> ChooseDrive(const std::vector<std::string>& drives,
                                                 const std::string& current) = 0;
  // The sort dialog (TForm15): 0 name, 1 size, 2 type, 3 date, plus 90 when descending.
  virtual std::optional<int> ChooseSort() = 0;
  // The editor settings dialog and the start-up folder dialog that reuses it: a folder tree (with
  // programs when programs is on) beside an edit field; the answer is the field's text after OK.
  struct PickSetup {
    std::string caption;
    std::string instruction;
    std::string stored;  // the value kept so far; empty when none
    bool programs = true;
  };
  virtual std::optional<std::string> PickFolderOrProgram(const PickSetup& setup) = 0;
  // The save dialog: title, starting folder and file name; the chosen path.
  virtual std::optional<std::string> SaveFileName(const std::string& title, const std::string& folder,
                                                  const std::string& name) = 0;

  // The column dialog (TForm30): two number fields under their labels, the second hidden when
  // unused. The answer is the fields' texts (the second empty when hidden). This default asks one
  // input box per field, which is how scripted answers arrive: field 1, then field 2.
  struct ColumnSetup {
    std::string caption;
    std::string label1;
    std::string label2;
    bool second = true;
    std::string first;  // starting texts
    std::string count;
  };
  struct ColumnAnswer {
    std::string first;
    std::string count;
  };
  virtual std::optional<ColumnAnswer> Columns(const ColumnSetup& setup) {
    const auto first = InputBox(setup.caption, setup.label1, setup.first);
    if (!first) return std::nullopt;
    ColumnAnswer answer{*first, {}};
    if (setup.second) {
      const auto count = InputBox(setup.caption, setup.label2, setup.count);
      if (!count) return std::nullopt;
      answer.count = *count;
    }
    return answer;
  }
  // --- File operations. Paths and names are the file system's bytes; captions and texts CP932.

  // A warning with OK and Cancel; true for OK.
  virtual bool Confirm(const std::string& caption, const std::string& text) = 0;

  // Asked before unsaved edits in the pane would go: 保存 / 保存しない / キャンセル.
  enum class SaveChoice { Save, Discard, Cancel };
  virtual SaveChoice SaveChanges(const std::string& caption, const std::string& text) {
    return Confirm(caption, text) ? SaveChoice::Save : SaveChoice::Cancel;
  }

  // The question when a name is taken at the destination.
  struct CollisionSetup {
    std::string name;          // the name that is taken
    std::string folder;        // where
    bool sourceIsFolder = false;
    bool targetIsFolder = false;
    unsigned long long sourceSize = 0, targetSize = 0;
    long long sourceTime = 0, targetTime = 0;  // seconds since the epoch, UTC
    int remaining = 0;                         // further items still to come
  };
  enum class CollisionChoice { Replace, Skip, Rename, Cancel };
  struct CollisionAnswer {
    CollisionChoice choice = CollisionChoice::Cancel;
    bool applyToAll = false;
  };
  virtual CollisionAnswer Collision(const CollisionSetup& setup) = 0;

  // Problems collected over an operation, reported once at its end: one line per item.
  virtual void ErrorList(const std::string& caption, const std::string& text, const std::vector<std::string>& lines) {
    std::string all = text;
    for (const std::string& line : lines) all += "\n" + line;
    (void)caption;
    Warning(all);
  }

  // The file-operation dialog (TForm2): where to copy, move or extract to. operation: 0 copy,
  // 1 move, 2 extract (the radio group only informs); the answer is the destination text.
  struct FileOperationSetup {
    int operation = 0;
    std::string countLabel;   // "3個のファイル"
    std::string sources;      // one path per line
    std::string folder;       // the current folder, preselected in the tree and the field
    std::vector<std::string> history;
  };
  virtual std::optional<std::string> FileOperation(const FileOperationSetup& setup) = 0;

  // The attribute dialog (TForm5).
  struct AttributeSetup {
    std::string path;
    bool readable = true;  // false: the boxes are shown disabled
    bool readOnly = false, archive = false, system = false, hidden = false;
    bool archiveEnabled = true, systemEnabled = true, hiddenEnabled = true;
  };
  struct AttributeAnswer {
    bool readOnly = false, archive = false, system = false, hidden = false;
  };
  virtual std::optional<AttributeAnswer> Attributes(const AttributeSetup& setup) = 0;

  // The split dialog (TForm17). partNames(count) gives the names to be made for a part count
  // (parts, then the batch file) for the preview; the answer is the size text.
  struct SplitSetup {
    std::string fileName;
    std::string sizeText;  // the file's size as the label shows it
    unsigned long long fileSize = 0;
    std::vector<std::string> history;
    std::function<std::vector<std::string>(unsigned long long count)> partNames;
  };
  virtual std::optional<std::string> SplitSize(const SplitSetup& setup) = 0;

  // The merge dialog (TForm20): the selected names in list order; the answer is the output name
  // and the names in the order the user arranged (entries may have been removed).
  struct MergeSetup {
    std::string folder;
    std::vector<std::string> names;
  };
  struct MergeAnswer {
    std::string output;
    std::vector<std::string> names;
  };
  virtual std::optional<MergeAnswer> Merge(const MergeSetup& setup) = 0;

  // --- Printing.

  // The printer setup dialog on the window's printer; false for Cancel. printing: printing
  // follows when it is confirmed (else it only sets the printer up).
  virtual bool PrinterSetup(QPrinter& printer, bool printing) = 0;
  // The print preview of the window's printer: paint draws every page into the printer it is
  // given, as often as the preview needs; the preview may also print.
  virtual void PrintPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) = 0;
  // The margins dialog: four fields in millimetres, each with the range the printer allows (a
  // value outside it falls back to the minimum), and the paper label. The answer is the fields'
  // texts after OK.
  struct PrintMarginRange {
    int minimum = 0, maximum = 9999;
  };
  struct PrintMarginSetup {
    std::string top, bottom, left, right;
    PrintMarginRange topRange, bottomRange, leftRange, rightRange;
    std::string paper;  // CP932
  };
  struct PrintMarginAnswer {
    std::string top, bottom, left, right;
  };
  virtual std::optional<PrintMarginAnswer> PrintMargins(const PrintMarginSetup& setup) = 0;

  // --- Searching. Each has a plain fallback through the questions above, which scripted answers
  // and the command-line tool use; the window shows the real forms.

  // The search dialog (TForm32, "検索"): the text in an editable combo over its history, whole
  // word, match case and the direction.
  struct FindSetup {
    std::string text;
    std::vector<std::string> history;
    bool wholeWord = false;
    bool matchCase = false;
    bool down = true;
  };
  struct FindAnswer {
    std::string text;
    bool wholeWord = false;
    bool matchCase = false;
    bool down = true;
  };
  virtual std::optional<FindAnswer> FindText(const FindSetup& setup) {
    auto text = InputWithHistory(kFindCaption, kFindLabel, "", setup.history, setup.text);
    if (!text) return std::nullopt;
    return FindAnswer{*text, setup.wholeWord, setup.matchCase, setup.down};
  }

  // The regular-expression dialog (TForm25): pattern and replacement combos over their histories,
  // "文字の同一視(&D)", and the insert-button panel; parts are hidden as the command needs.
  struct RegExpSetup {
    std::string caption;      // "正規表現置換", "検索－正規表現", ...
    std::string okCaption;    // "置換(&R)" or "検索(&S)"
    std::string note;         // "文字列には正規表現が使えます。"; empty hides it
    bool replacement = true;  // the replacement label and combo
    bool fuzzy = true;        // the "文字の同一視(&D)" box shown
    bool insertButtons = true;
    std::string pattern;      // proposed
    std::vector<std::string> patterns, replacements;
  };
  struct RegExpAnswer {
    std::string pattern, replacement;
    bool fuzzy = false;
  };
  virtual std::optional<RegExpAnswer> RegExpDialog(const RegExpSetup& setup) {
    RegExpAnswer answer;
    auto pattern = InputWithHistory(setup.caption, kPatternLabel, setup.note, setup.patterns, setup.pattern);
    if (!pattern) return std::nullopt;
    answer.pattern = *pattern;
    if (setup.replacement) {
      auto replacement = InputWithHistory(setup.caption, kReplacementLabel, "", setup.replacements, "");
      if (!replacement) return std::nullopt;
      answer.replacement = *replacement;
    }
    return answer;
  }

  // The list dialog (TForm31): an edited list of texts or patterns, "正規表現(&S)", loading and
  // saving lists through file dialogs that start in the remembered folders.
  struct ListSetup {
    std::string caption;  // "検索語句削除　連続" or "検索行削除 連続"
    std::vector<std::string> entries;
    bool regex = false;
    std::string openFolder, saveFolder;  // file-system paths
  };
  struct ListAnswer {
    std::vector<std::string> entries;
    bool regex = false;
    std::string openFolder, saveFolder;
  };
  virtual std::optional<ListAnswer> ListDialog(const ListSetup& setup) {
    std::string offered;
    for (const std::string& entry : setup.entries) offered += entry + "\r\n";
    auto list = InputBox(setup.caption, kListLabel, offered);
    if (!list) return std::nullopt;
    auto kind = InputBox(setup.caption, kRegexLabel, setup.regex ? "regex" : "plain");
    if (!kind) return std::nullopt;
    ListAnswer answer{SplitLines(*list), *kind == "regex" || *kind == "REGEX" || *kind == "1", setup.openFolder,
                      setup.saveFolder};
    return answer;
  }

  // The Grep dialog (TForm9, "Grepの実行"): the pattern over its history, the files to search (the
  // selected ones or all, one path per line, editable), and three check boxes.
  struct GrepSetup {
    std::vector<std::string> history;
    std::string folder;                    // shown above the list
    std::vector<std::string> selected;     // paths of the selected files that exist
    std::vector<std::string> all;          // paths of every listed file that exists
    bool fuzzy = true, fileNames = true, lineNumbers = true;
    bool subFolders = false;  // the folder's whole tree instead of the listed files
  };
  struct GrepAnswer {
    std::string pattern;
    std::vector<std::string> paths;  // unused with subFolders
    bool fuzzy = true, fileNames = true, lineNumbers = true;
    bool subFolders = false;
  };
  virtual std::optional<GrepAnswer> GrepDialog(const GrepSetup& setup) {
    auto pattern = InputWithHistory(kGrepCaption, kPatternLabel, "", setup.history, "");
    if (!pattern) return std::nullopt;
    return GrepAnswer{*pattern, setup.selected.empty() ? setup.all : setup.selected, setup.fuzzy, setup.fileNames,
                      setup.lineNumbers, setup.subFolders};
  }

  // The replace dialog of the pane: modeless; its buttons call back while it stays open.
  struct ReplaceSetup {
    std::string find;
    std::string replacement;
  };
  struct ReplaceHandlers {
    std::function<void(const std::string& find)> findNext;
    std::function<void(const std::string& find, const std::string& replacement)> replace;
    std::function<void(const std::string& find, const std::string& replacement)> replaceAll;
  };
  // Scripted answers have no window to keep open: the fallback does nothing.
  virtual void ShowReplace(const ReplaceSetup& setup, const ReplaceHandlers& handlers) {
    (void)setup;
    (void)handlers;
  }
  // The replace dialog, when open, closes (the window closes or a new pane content comes).
  virtual void CloseReplace() {}

  // The URL command's question: the input dialog with history, half as wide again.
  virtual std::optional<std::string> UrlDialog(const std::string& caption, const std::string& prompt,
                                               const std::vector<std::string>& history,
                                               const std::string& proposal) {
    return InputWithHistory(caption, prompt, "", history, proposal);
  }
  // The version box.
  virtual void About(const std::string& text) { Information(text); }
  // The help window, left open beside the program: its contents, the keyword search, a topic by
  // number or a page by file name. Nothing where no manual is shown.
  struct HelpRequest {
    enum Kind { Contents, Keyword, Topic, Page } kind = Contents;
    int topic = 0;
    std::string page;
  };
  virtual void ShowHelp(const HelpRequest& request) { (void)request; }
  virtual void CloseHelp() {}
  // --- Customisation. The window stores the answers; the lists come back in the user's order.

  // "ｱﾌﾟﾘｹｰｼｮﾝの設定": the entries whose program exists; usable(commandLine) is the check the
  // new-entry button makes (a refused line is reported as the line + " は設定できませんでした。").
  // The fallback offers one line per entry, "command line", TAB, "name", and reads the answer so.
  struct ApplicationSetup {
    std::vector<AppEntry> entries;
    std::function<bool(const std::string& commandLine)> usable;
  };
  virtual std::optional<std::vector<AppEntry>> ApplicationList(const ApplicationSetup& setup) {
    std::string offered;
    for (const AppEntry& e : setup.entries) offered += e.commandLine + "\t" + e.name + "\r\n";
    auto text = InputBox(kApplicationCaption, kApplicationLabel, offered);
    if (!text) return std::nullopt;
    std::vector<AppEntry> entries;
    for (const std::string& line : SplitLines(*text)) {
      const std::size_t tab = line.rfind('\t');
      AppEntry e{line.substr(0, tab), tab == std::string::npos ? line : line.substr(tab + 1)};
      if (setup.usable && !setup.usable(e.commandLine)) {
        Warning(e.commandLine + kRefusedSuffix);
        continue;
      }
      entries.push_back(std::move(e));
    }
    return entries;
  }

  // "登録ﾌｫﾙﾀﾞｰの設定": the folders in their order; the fallback offers one per line.
  virtual std::optional<std::vector<std::string>> FolderList(const std::vector<std::string>& folders) {
    std::string offered;
    for (const std::string& f : folders) offered += f + "\r\n";
    auto text = InputBox(kFolderCaption, kFolderLabel, offered);
    if (!text) return std::nullopt;
    std::vector<std::string> answer;
    for (std::string& line : SplitLines(*text))
      if (std::find(answer.begin(), answer.end(), line) == answer.end()) answer.push_back(std::move(line));
    return answer;
  }

  // "ツールボタンの設定": one row per button of each bar, its caption (CP932) and whether it is
  // shown; the answer is the rows' states after OK. The fallback offers the two bars as "1" and
  // "0" per row, separated by "|", and takes an answer in the same form (missing rows unchanged).
  struct ToolButtonRow {
    std::string caption;
    bool shown = true;
  };
  struct ToolButtonSetup {
    std::vector<ToolButtonRow> main, view;
  };
  struct ToolButtonAnswer {
    std::vector<bool> main, view;
  };
  virtual std::optional<ToolButtonAnswer> ToolButtons(const ToolButtonSetup& setup) {
    std::string offered;
    for (const auto& r : setup.main) offered += r.shown ? '1' : '0';
    offered += '|';
    for (const auto& r : setup.view) offered += r.shown ? '1' : '0';
    auto text = InputBox(kToolButtonCaption, kToolButtonLabel, offered);
    if (!text) return std::nullopt;
    ToolButtonAnswer answer;
    const std::size_t bar = text->find('|');
    const std::string first = text->substr(0, bar), second = bar == std::string::npos ? "" : text->substr(bar + 1);
    for (std::size_t i = 0; i < setup.main.size(); ++i)
      answer.main.push_back(i < first.size() ? first[i] == '1' : setup.main[i].shown);
    for (std::size_t i = 0; i < setup.view.size(); ++i)
      answer.view.push_back(i < second.size() ? second[i] == '1' : setup.view[i].shown);
    return answer;
  }

  static constexpr const char* kApplicationCaption = "\xb1\xcc\xdf\xd8\xb9\xb0\xbc\xae\xdd\x82\xcc\x90\xdd\x92\xe8";  // ｱﾌﾟﾘｹｰｼｮﾝの設定
  static constexpr const char* kApplicationLabel = "\xb1\xcc\xdf\xd8\xb9\xb0\xbc\xae\xdd\x82\xf0\xcc\xd9\xca\xdf\xbd\x82\xc5\x8e\x77\x92\xe8\x82\xb5\x82\xc4\x89\xba\x82\xb3\x82\xa2\x81\x42";  // ｱﾌﾟﾘｹｰｼｮﾝをﾌﾙﾊﾟｽで指定して下さい。
  static constexpr const char* kRefusedSuffix = "\x20\x82\xcd\x90\xdd\x92\xe8\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42";  //  は設定できませんでした。
  static constexpr const char* kFolderCaption = "\x93\x6f\x98\x5e\xcc\xab\xd9\xc0\xde\xb0\x82\xcc\x90\xdd\x92\xe8";  // 登録ﾌｫﾙﾀﾞｰの設定
  static constexpr const char* kFolderLabel = "\xcc\xab\xd9\xc0\xde\xb0\x82\xf0\xcc\xd9\xca\xdf\xbd\x82\xc5\x8e\x77\x92\xe8\x82\xb5\x82\xc4\x89\xba\x82\xb3\x82\xa2\x81\x42";  // ﾌｫﾙﾀﾞｰをﾌﾙﾊﾟｽで指定して下さい。
  static constexpr const char* kToolButtonCaption = "\x83\x63\x81\x5b\x83\x8b\x83\x7b\x83\x5e\x83\x93\x82\xcc\x90\xdd\x92\xe8";  // ツールボタンの設定
  static constexpr const char* kToolButtonLabel = "\x95\x5c\x8e\xa6\x82\xb7\x82\xe9\x83\x63\x81\x5b\x83\x8b\x83\x7b\x83\x5e\x83\x93\x82\xf0\x91\x49\x91\xf0\x82\xb5\x82\xc4\x89\xba\x82\xb3\x82\xa2\x81\x42";  // 表示するツールボタンを選択して下さい。

  // --- Drive information, directory listing, file properties.

  // The drive information dialog ("ドライブ情報"): titles, two lines of figures, a note and a pie
  // of used (red) and free (blue) bytes. The fallback shows the texts as information.
  struct DriveInfoSetup {
    std::string caption, seriesTitle, chartTitle, summary, clusters, note;
    std::string usedLabel, freeLabel;
    unsigned long long used = 0, free = 0;
  };
  virtual void DriveInfo(const DriveInfoSetup& setup) {
    Information(setup.chartTitle + "\n" + setup.summary + "\n" + setup.clusters + "\n" + setup.note);
  }

  // The directory listing settings ("dirｺﾏﾝﾄﾞ結果表示"): the path combo over its history, the
  // attribute and sort combos, the switches and the folder tree. The answer is the path combo's
  // text and the argument preview. The fallback asks only for the path, every switch left at
  // its default.
  struct DirCommandSetup {
    std::string folder;
    std::vector<std::string> history;
  };
  struct DirCommandAnswer {
    std::string path;
    std::string arguments;
  };
  virtual std::optional<DirCommandAnswer> DirCommand(const DirCommandSetup& setup) {
    auto path = InputWithHistory(kDirCommandCaption, kDirPathLabel, "", setup.history, setup.folder);
    if (!path) return std::nullopt;
    return DirCommandAnswer{*path, "\"" + *path + "\"     "};
  }

  // The properties of one file: labelled rows. The fallback shows them as information.
  struct PropertiesSetup {
    std::string caption;
    std::vector<std::pair<std::string, std::string>> rows;
  };
  virtual void Properties(const PropertiesSetup& setup) {
    std::string text;
    for (const auto& [label, value] : setup.rows) text += (text.empty() ? "" : "\n") + label + ": " + value;
    Information(text);
  }

  // CP932 labels of the fallbacks.
  static constexpr const char* kPatternLabel = "\x8C\x9F\x8D\xF5\x82\xB7\x82\xE9\x95\xB6\x8E\x9A\x97\xF1(&S)";  // 検索する文字列(&S)
  static constexpr const char* kReplacementLabel = "\x92\x75\x8A\xB7\x82\xB7\x82\xE9\x95\xB6\x8E\x9A\x97\xF1(&T)";  // 置換する文字列(&T)
  static constexpr const char* kListLabel = "\x8D\xED\x8F\x9C\x95\xB6\x8E\x9A\x97\xF1\x83\x8A\x83\x58\x83\x67(&I)";  // 削除文字列リスト(&I)
  static constexpr const char* kRegexLabel = "\x90\xB3\x8B\x4B\x95\x5C\x8C\xBB(&S)";  // 正規表現(&S)
  static constexpr const char* kFindCaption = "\x8C\x9F\x8D\xF5";  // 検索
  static constexpr const char* kFindLabel = "\x8C\x9F\x8D\xF5\x82\xB7\x82\xE9\x95\xB6\x8E\x9A\x97\xF1(&N):";  // 検索する文字列(&N):
  static constexpr const char* kGrepCaption = "Grep\x82\xCC\x8E\xC0\x8D\x73";  // Grepの実行
  static constexpr const char* kDirCommandCaption = "dir\xBA\xCF\xDD\xC4\xDE\x8C\x8B\x89\xCA\x95\x5C\x8E\xA6";  // dirｺﾏﾝﾄﾞ結果表示
  static constexpr const char* kDirPathLabel = "\xC4\xDE\xD7\xB2\xCC\xDE\xA4\xCA\xDF\xBD(&P)";  // ﾄﾞﾗｲﾌﾞ､ﾊﾟｽ(&P)

 protected:
  static std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) lines.push_back(std::move(line));
      start = end + 1;
    }
    return lines;
  }
};

}  // namespace sorabu::dialogs
