#include "tests/monkey/random_dialogs.h"

#include <algorithm>
#include <filesystem>

#include "tests/monkey/event_log.h"
#include "tests/support/preview_pages.h"
#include "textconv/cp932.h"

namespace fs = std::filesystem;

namespace sorabu::monkey {

namespace {

std::string Shown(const std::string& cp932) {
  std::string text = textconv::Cp932ToUtf8(cp932);
  if (text.size() > 60) text = text.substr(0, 60) + "...";
  return text;
}

std::string Answer(const std::optional<std::string>& a) { return a ? "\"" + Shown(*a) + "\"" : "Cancel"; }

// The Japanese texts of EROFS and of GIO's read-only error: under scripts/monkey everything
// outside the runs' folder is a read-only file system, so a message with one of them is a
// write that was tried outside.
bool TellsOfReadOnlyFileSystem(const std::string& text) {
  static const std::string kErofs = textconv::Utf8ToCp932("読み込み専用のファイルシステムです");
  static const std::string kGio = textconv::Utf8ToCp932("読み込み専用です");
  return text.find(kErofs) != std::string::npos || text.find(kGio) != std::string::npos;
}

bool CarriesSanitizerReport(const std::string& text) {
  return text.find("AddressSanitizer") != std::string::npos || text.find("UndefinedBehaviorSanitizer") != std::string::npos ||
         text.find("runtime error:") != std::string::npos || text.find("LeakSanitizer") != std::string::npos;
}

}  // namespace

// Counts the question, writes it to the log and perhaps turns the event loop first, as a modal
// dialog does while the user reads it.
class TRandomDialogs::TAsk {
 public:
  TAsk(TRandomDialogs& d, const char* kind, const std::string& caption) : d_(d), lock_(d.mutex_) {
    ++d_.asking_;
    ++d_.questions_;
    what_ = std::string("ask ") + kind + " '" + Shown(caption) + "'";
    if (d_.spin && d_.Chance(0.2)) d_.spin(static_cast<int>(d_.Pick(40)));
  }
  ~TAsk() {
    d_.log_.Add(what_ + " -> " + answer_);
    --d_.asking_;
  }
  void Says(std::string answer) { answer_ = std::move(answer); }

 private:
  TRandomDialogs& d_;
  std::lock_guard<std::recursive_mutex> lock_;
  std::string what_, answer_ = "(answered)";
};

TRandomDialogs::TRandomDialogs(std::uint64_t seed, TEventLog& log, std::string work, std::string run)
    : rng_(static_cast<std::mt19937::result_type>(seed * 2654435761u + 97)), log_(log), work_(std::move(work)),
      run_(std::move(run)) {}

bool TRandomDialogs::Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
std::size_t TRandomDialogs::Pick(std::size_t n) { return n == 0 ? 0 : rng_() % n; }

std::string TRandomDialogs::Number() {
  static const char* const kNumbers[] = {"0", "1", "2", "3", "10", "80", "255", "256", "1000", "65535", "65536",
                                         "-1", "-100", "2147483647", "2147483648", "99999999999999999999", "1.5",
                                         "1e3", "0x10", " 7", "12abc", "１２"};
  std::string n = kNumbers[Pick(std::size(kNumbers))];
  return textconv::Utf8ToCp932(n);
}

std::string TRandomDialogs::Pattern() {
  static const char* const kPatterns[] = {"a", "e", ".", ".*", "^", "$", "^$", "[a-z]+", "[あ-ん]+", "猫", "ｶﾀｶﾅ",
                                          "(", ")", "[", "a**", "\\", "\\d+", "a|b|", "(a|b)*c", "x{2,}", "[^ ]",
                                          "吾輩", "ソ", "表", "\t", " ", "〜", "\\(", "[[:alpha:]]", "((((((a))))))"};
  return textconv::Utf8ToCp932(kPatterns[Pick(std::size(kPatterns))]);
}

std::string TRandomDialogs::Name() {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(work_, ec), end; !ec && it != end && names.size() < 400; it.increment(ec))
    names.push_back(it->path().filename().native());
  std::sort(names.begin(), names.end());
  if (!names.empty() && Chance(0.6)) return names[Pick(names.size())];
  static const char* const kNew[] = {"new.txt", "新しい.txt", "out.rtf", "copy", "x", ".", "..", "a b", "名前😀.txt",
                                     "part.001", "sub", "dup.txt", "merged.txt", "list.txt", "sorted.txt"};
  return textconv::Utf8ToCp932(kNew[Pick(std::size(kNew))]);
}

std::string TRandomDialogs::PathInWork(bool folder) {
  static const char* const kFolders[] = {"", "/sub", "/sub/deeper", "/many", "/new-folder", "/link-to-sub", "/locked"};
  if (folder) return work_ + kFolders[Pick(std::size(kFolders))];
  std::string name = Name();
  if (name == "." || name == "..") name = "new.txt";
  return work_ + "/" + name;
}

std::string TRandomDialogs::Text() {
  switch (Pick(8)) {
    case 0: return "";
    case 1: return Number();
    case 2: return Pattern();
    case 3: return Name();
    case 4: return textconv::Utf8ToCp932("テスト　文字列");
    case 5: return std::string(static_cast<std::size_t>(1 + Pick(600)), 'a');
    case 6: return PathInWork(Chance(0.5));
    default: {
      // Bytes of any value but the path separator and NUL.
      std::string bytes(1 + Pick(30), ' ');
      for (char& c : bytes) {
        c = static_cast<char>(1 + Pick(255));
        if (c == '/') c = '_';
      }
      return bytes;
    }
  }
}

bool TRandomDialogs::Safe(const std::string& text) const {
  if (text.find('/') == std::string::npos) return true;
  // A path is given back only when it stays in the run folder as written.
  if (text.rfind(run_ + "/", 0) != 0 && text != run_) return false;
  return text.find("/..") == std::string::npos;
}

std::string TRandomDialogs::Keep(const std::string& value) { return Safe(value) ? value : Text(); }

void TRandomDialogs::Message(const char* kind, const std::string& text) {
  ++messages_;
  log_.Add(std::string("message ") + kind + " '" + Shown(text) + "'");
  if (CarriesSanitizerReport(text) && onSanitizerText) onSanitizerText(text);
  if (TellsOfReadOnlyFileSystem(text) && onWriteOutside) onWriteOutside(text);
}

std::optional<std::string> TRandomDialogs::InputBox(const std::string& caption, const std::string&, const std::string& value) {
  TAsk ask(*this, "InputBox", caption);
  std::optional<std::string> a;
  if (!Cancelled()) a = Chance(0.4) ? Keep(value) : Text();
  ask.Says(Answer(a));
  return a;
}

std::optional<std::string> TRandomDialogs::InputWithHistory(const std::string& caption, const std::string&, const std::string&,
                                                            const std::vector<std::string>& history,
                                                            const std::string& proposal) {
  TAsk ask(*this, "InputWithHistory", caption);
  std::optional<std::string> a;
  if (!Cancelled()) {
    if (!history.empty() && Chance(0.3)) a = Keep(history[Pick(history.size())]);
    else if (Chance(0.3)) a = Keep(proposal);
    else a = Chance(0.5) ? Pattern() : Text();
  }
  ask.Says(Answer(a));
  return a;
}

void TRandomDialogs::Warning(const std::string& text) { Message("warning", text); }
void TRandomDialogs::Information(const std::string& text) { Message("information", text); }
void TRandomDialogs::Error(const std::string& text) { Message("error", text); }

std::optional<dialogs::FontSpec> TRandomDialogs::ChooseFont(const dialogs::FontSpec& current) {
  TAsk ask(*this, "ChooseFont", current.name);
  if (Cancelled()) return ask.Says("Cancel"), std::nullopt;
  dialogs::FontSpec f = current;
  static const int kSizes[] = {1, 6, 9, 12, 24, 72, 200};
  f.sizePoints = kSizes[Pick(std::size(kSizes))];
  f.style = static_cast<int>(Pick(16));
  f.bgr = static_cast<std::uint32_t>(rng_()) & 0xFFFFFF;
  if (Chance(0.2)) f.name = textconv::Utf8ToCp932(Chance(0.5) ? "ＭＳ ゴシック" : "NoSuchFont");
  ask.Says("size " + std::to_string(f.sizePoints) + " style " + std::to_string(f.style));
  return f;
}

void TRandomDialogs::ChooseCharSet(int current, const std::function<void(int)>& onChange) {
  TAsk ask(*this, "ChooseCharSet", std::to_string(current));
  static const int kSets[] = {0, 1, 2, 77, 128, 129, 130, 134, 136, 161, 162, 177, 178, 186, 204, 222, 238, 255};
  std::string said;
  for (std::size_t i = Pick(4); i > 0; --i) {
    const int v = kSets[Pick(std::size(kSets))];
    said += std::to_string(v) + " ";
    onChange(v);
  }
  ask.Says(said);
}

std::optional<dialogs::LoadRuleAnswer> TRandomDialogs::LoadRules(const dialogs::LoadRuleSetup& setup) {
  TAsk ask(*this, "LoadRules", setup.caption);
  if (Cancelled()) return ask.Says("Cancel"), std::nullopt;
  static const long long kBytes[] = {0, 1, 2, 100, 4096, 20000, 65536, 1 << 20, 1LL << 31, 1LL << 40};
  dialogs::LoadRuleAnswer a{setup.checkEnabled ? Chance(0.5) : setup.checked, kBytes[Pick(std::size(kBytes))]};
  ask.Says((a.checked ? "on " : "off ") + std::to_string(a.bytes));
  return a;
}

std::optional<std::string> TRandomDialogs::ChooseDrive(const std::vector<std::string>& drives, const std::string& current) {
  TAsk ask(*this, "ChooseDrive", current);
  std::optional<std::string> a;
  if (!Cancelled()) a = drives.empty() || Chance(0.3) ? std::string(1, static_cast<char>('a' + Pick(26))) : drives[Pick(drives.size())];
  ask.Says(Answer(a));
  return a;
}

std::optional<int> TRandomDialogs::ChooseSort() {
  TAsk ask(*this, "ChooseSort", "");
  if (Cancelled()) return ask.Says("Cancel"), std::nullopt;
  const int v = static_cast<int>(Pick(4)) + (Chance(0.5) ? 90 : 0);
  ask.Says(std::to_string(v));
  return v;
}

std::optional<std::string> TRandomDialogs::PickFolderOrProgram(const PickSetup& setup) {
  TAsk ask(*this, "PickFolderOrProgram", setup.caption);
  std::optional<std::string> a;
  if (!Cancelled()) {
    if (Chance(0.3)) a = Keep(setup.stored);
    else if (setup.programs && Chance(0.5)) a = Chance(0.5) ? "/usr/bin/vi" : "/no/such/editor";
    else a = PathInWork(Chance(0.7));
  }
  // A program path outside the run folder is only ever started through the recording launcher.
  ask.Says(Answer(a));
  return a;
}

std::optional<std::string> TRandomDialogs::SaveFileName(const std::string& title, const std::string&, const std::string&) {
  TAsk ask(*this, "SaveFileName", title);
  std::optional<std::string> a;
  if (!Cancelled()) a = Chance(0.15) ? PathInWork(true) : PathInWork(false);
  ask.Says(Answer(a));
  return a;
}

std::optional<TRandomDialogs::ColumnAnswer> TRandomDialogs::Columns(const ColumnSetup& setup) {
  TAsk ask(*this, "Columns", setup.caption);
  if (Cancelled()) return ask.Says("Cancel"), std::nullopt;
  ColumnAnswer a{Chance(0.8) ? Number() : Text(), setup.second ? (Chance(0.8) ? Number() : Text()) : ""};
  ask.Says(Shown(a.first) + " " + Shown(a.count));
  return a;
}

bool TRandomDialogs::Confirm(const std::string& caption, const std::string&) {
  TAsk ask(*this, "Confirm", caption);
  const bool ok = Chance(0.6);
  ask.Says(ok ? "OK" : "Cancel");
  return ok;
}

TRandomDialogs::SaveChoice TRandomDialogs::SaveChanges(const std::string& caption, const std::string&) {
  TAsk ask(*this, "SaveChanges", caption);
  const SaveChoice choices[] = {SaveChoice::Save, SaveChoice::Discard, SaveChoice::Cancel};
  const SaveChoice c = closing ? SaveChoice::Discard : choices[Pick(3)];
  ask.Says(c == SaveChoice::Save ? "save" : c == SaveChoice::Discard ? "discard" : "Cancel");
  return c;
}

TRandomDialogs::CollisionAnswer TRandomDialogs::Collision(const CollisionSetup& setup) {
  TAsk ask(*this, "Collision", setup.name);
  const CollisionChoice choices[] = {CollisionChoice::Replace, CollisionChoice::Skip, CollisionChoice::Rename,
                                     CollisionChoice::Cancel};
  CollisionAnswer a{choices[Pick(4)], Chance(0.4)};
  static const char* const kSaid[] = {"replace", "skip", "rename", "Cancel"};
  ask.Says(std::string(kSaid[static_cast<int>(a.choice)]) + (a.applyToAll ? " all" : ""));
  return a;
}

void TRandomDialogs::ErrorList(const std::string& caption, const std::string& text, const std::vector<std::string>& lines) {
  std::string all = text;
  for (const std::string& l : lines) all += "\n" + l;
  (void)caption;
  Message("list", all);
}

std::optional<std::string> TRandomDialogs::FileOperation(const FileOperationSetup& setup) {
  TAsk ask(*this, "FileOperation", std::to_string(setup.operation));
  std::optional<std::string> a;
  if (!Cancelled()) {
    if (Chance(0.2)) a = Keep(setup.folder);
    else if (!setup.history.empty() && Chance(0.2)) a = Keep(setup.history[Pick(setup.history.size())]);
    else a = Chance(0.8) ? PathInWork(true) : Name();
  }
  ask.Says(Answer(a));
  return a;
}

std::optional<TRandomDialogs::AttributeAnswer> TRandomDialogs::Attributes(const AttributeSetup& setup) {
  TAsk ask(*this, "Attributes", setup.path);
  if (Cancelled()) return ask.Says("Cancel"), std::nullopt;
  AttributeAnswer a{Chance(0.3), Chance(0.5), Chance(0.2), Chance(0.3)};
  ask.Says(std::string(a.readOnly ? "R" : "") + (a.archive ? "A" : "") + (a.system ? "S" : "") + (a.hidden ? "H" : ""));
  return a;
}

std::optional<std::string> TRandomDialogs::SplitSize(const SplitSetup& setup) {
  TAsk ask(*this, "SplitSize", setup.fileName);
  // The dialog shows the names of the parts while the user types.
  if (setup.partNames) (void)setup.partNames(1 + Pick(30));
  std::optional<std::string> a;
  if (!Cancelled()) a = Chance(0.3) ? Keep(setup.sizeText) : Number();
  ask.Says(Answer(a));
  return a;
}

std::optional<TRandomDialogs::MergeAnswer> TRandomDialogs::Merge(const MergeSetup& setup) {
  TAsk ask(*this, "Merge", setup.folder);
  if (Cancelled()) return ask.Says("Cancel"), std::nullopt;
  MergeAnswer a{Chance(0.8) ? Name() : PathInWork(false), setup.names};
  std::shuffle(a.names.begin(), a.names.end(), rng_);
  if (!a.names.empty() && Chance(0.3)) a.names.resize(Pick(a.names.size()) + 1);
  ask.Says(Shown(a.output) + " of " + std::to_string(a.names.size()));
  return a;
}

bool TRandomDialogs::PrinterSetup(QPrinter&, bool printing) {
  TAsk ask(*this, "PrinterSetup", printing ? "print" : "setup");
  const bool ok = Chance(0.5);
  ask.Says(ok ? "OK" : "Cancel");
  return ok;
}

// The preview's own widget, offscreen: it records the pages, records them again when the paper
// turns, and prints from there as its button does.
void TRandomDialogs::PrintPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
  TAsk ask(*this, "PrintPreview", "");
  const bool turn = Chance(0.3);
  const bool print = Chance(0.5);
  const int pages = PreviewPages(printer, paint, turn, print);
  ask.Says(std::to_string(pages) + " pages" + (turn ? ", turned" : "") + (print ? ", printed" : ", closed"));
}

std::optional<TRandomDialogs::PrintMarginAnswer> TRandomDialogs::PrintMargins(const PrintMarginSetup& setup) {
  TAsk ask(*this, "PrintMargins", setup.paper);
  if (Cancelled()) return ask.Says("Cancel"), std::nullopt;
  auto field = [&](const std::string& now) { return Chance(0.3) ? now : Chance(0.8) ? Number() : Text(); };
  PrintMarginAnswer a{field(setup.top), field(setup.bottom), field(setup.left), field(setup.right)};
  ask.Says(Shown(a.top) + " " + Shown(a.bottom) + " " + Shown(a.left) + " " + Shown(a.right));
  return a;
}

std::optional<TRandomDialogs::FindAnswer> TRandomDialogs::FindText(const FindSetup& setup) {
  TAsk ask(*this, "FindText", setup.text);
  if (Cancelled()) return ask.Says("Cancel"), std::nullopt;
  FindAnswer a{Chance(0.3) ? Keep(setup.text) : Pattern(), Chance(0.3), Chance(0.3), Chance(0.7)};
  ask.Says("\"" + Shown(a.text) + "\"");
  return a;
}

std::optional<TRandomDialogs::RegExpAnswer> TRandomDialogs::RegExpDialog(const RegExpSetup& setup) {
  TAsk ask(*this, "RegExpDialog", setup.caption);
  if (Cancelled()) return ask.Says("Cancel"), std::nullopt;
  RegExpAnswer a{Chance(0.2) ? Keep(setup.pattern) : Pattern(), setup.replacement ? (Chance(0.5) ? Pattern() : Text()) : "",
                 setup.fuzzy && Chance(0.5)};
  ask.Says("\"" + Shown(a.pattern) + "\" -> \"" + Shown(a.replacement) + "\"");
  return a;
}

std::optional<TRandomDialogs::ListAnswer> TRandomDialogs::ListDialog(const ListSetup& setup) {
  TAsk ask(*this, "ListDialog", setup.caption);
  if (Cancelled()) return ask.Says("Cancel"), std::nullopt;
  ListAnswer a{setup.entries, Chance(0.5), Keep(setup.openFolder), Keep(setup.saveFolder)};
  if (Chance(0.7)) {
    a.entries.clear();
    for (std::size_t i = Pick(5); i > 0; --i) a.entries.push_back(Pattern());
  }
  ask.Says(std::to_string(a.entries.size()) + (a.regex ? " regex" : " plain"));
  return a;
}

std::optional<TRandomDialogs::GrepAnswer> TRandomDialogs::GrepDialog(const GrepSetup& setup) {
  TAsk ask(*this, "GrepDialog", setup.folder);
  if (Cancelled()) return ask.Says("Cancel"), std::nullopt;
  GrepAnswer a{Pattern(), Chance(0.5) && !setup.selected.empty() ? setup.selected : setup.all, Chance(0.5), Chance(0.7),
               Chance(0.7)};
  if (!a.paths.empty() && Chance(0.3)) a.paths.resize(Pick(a.paths.size()) + 1);
  ask.Says("\"" + Shown(a.pattern) + "\" over " + std::to_string(a.paths.size()));
  return a;
}

void TRandomDialogs::ShowReplace(const ReplaceSetup& setup, const ReplaceHandlers& handlers) {
  log_.Add("replace dialog opened with '" + Shown(setup.find) + "'");
  replaceOpen_ = true;
  replace_ = handlers;
}

void TRandomDialogs::CloseReplace() {
  if (replaceOpen_) log_.Add("replace dialog closed");
  replaceOpen_ = false;
  replace_ = {};
}

std::optional<std::string> TRandomDialogs::UrlDialog(const std::string& caption, const std::string&,
                                                     const std::vector<std::string>& history, const std::string& proposal) {
  TAsk ask(*this, "UrlDialog", caption);
  static const char* const kUrls[] = {"https://example.com/", "http://", "mailto:someone@example.com", "file:///etc/passwd",
                                      "ftp://x", ""};
  std::optional<std::string> a;
  if (!Cancelled()) a = Chance(0.2) ? proposal : !history.empty() && Chance(0.2) ? history[Pick(history.size())]
                                                                                 : std::string(kUrls[Pick(std::size(kUrls))]);
  ask.Says(Answer(a));
  return a;
}

void TRandomDialogs::About(const std::string& text) { Message("about", text); }

void TRandomDialogs::ShowHelp(const HelpRequest& request) {
  log_.Add("help shown, kind " + std::to_string(static_cast<int>(request.kind)) + " topic " + std::to_string(request.topic));
}
void TRandomDialogs::CloseHelp() { log_.Add("help closed"); }

std::optional<std::vector<dialogs::AppEntry>> TRandomDialogs::ApplicationList(const ApplicationSetup& setup) {
  TAsk ask(*this, "ApplicationList", "");
  if (Cancelled()) return ask.Says("Cancel"), std::nullopt;
  std::vector<dialogs::AppEntry> entries = setup.entries;
  static const char* const kLines[] = {"/usr/bin/xterm", "/bin/sh -c \"echo x\"", "/no/such/program", "xdg-open .", ""};
  for (std::size_t i = Pick(3); i > 0; --i) {
    dialogs::AppEntry e{kLines[Pick(std::size(kLines))], Text()};
    if (!setup.usable || setup.usable(e.commandLine)) entries.push_back(e);
  }
  ask.Says(std::to_string(entries.size()) + " entries");
  return entries;
}

std::optional<std::vector<std::string>> TRandomDialogs::FolderList(const std::vector<std::string>& folders) {
  TAsk ask(*this, "FolderList", "");
  if (Cancelled()) return ask.Says("Cancel"), std::nullopt;
  std::vector<std::string> list;
  for (const std::string& f : folders)
    if (Safe(f) && Chance(0.7)) list.push_back(f);
  for (std::size_t i = Pick(3); i > 0; --i) list.push_back(PathInWork(true));
  ask.Says(std::to_string(list.size()) + " folders");
  return list;
}

std::optional<TRandomDialogs::ToolButtonAnswer> TRandomDialogs::ToolButtons(const ToolButtonSetup& setup) {
  TAsk ask(*this, "ToolButtons", "");
  if (Cancelled()) return ask.Says("Cancel"), std::nullopt;
  ToolButtonAnswer a;
  for (const auto& r : setup.main) a.main.push_back(Chance(0.2) ? !r.shown : r.shown);
  for (const auto& r : setup.view) a.view.push_back(Chance(0.2) ? !r.shown : r.shown);
  ask.Says("changed");
  return a;
}

void TRandomDialogs::DriveInfo(const DriveInfoSetup& setup) { Message("drive", setup.summary); }

std::optional<TRandomDialogs::DirCommandAnswer> TRandomDialogs::DirCommand(const DirCommandSetup& setup) {
  TAsk ask(*this, "DirCommand", setup.folder);
  if (Cancelled()) return ask.Says("Cancel"), std::nullopt;
  const std::string path = Chance(0.3) ? Keep(setup.folder) : PathInWork(Chance(0.7));
  static const char* const kSwitches[] = {"", "/s", "/w", "/b", "/o:n", "/o:-s", "/a:h", "/s /b", "/p", "/x"};
  DirCommandAnswer a{path, "\"" + path + "\" " + kSwitches[Pick(std::size(kSwitches))]};
  ask.Says("\"" + Shown(a.arguments) + "\"");
  return a;
}

void TRandomDialogs::Properties(const PropertiesSetup& setup) { Message("properties", setup.caption); }

}  // namespace sorabu::monkey
