// sorabu-cli run [--backup|--no-backup] [--answer TEXT]... HANDLER FILE: runs one file-rewriting
// command on FILE as the window does, working copy included, with the answers given in order
// (a missing answer is Cancel). Warnings and errors go to standard error and give status 1, and
// so does a command that did nothing: FILE missing or no regular file, or a question cancelled.
// With --ini FILE the search commands keep their histories and lists in that settings file, as
// the window keeps them in its own, and the option "LFも改行として扱う" (Mlfline) is read from it;
// without it nothing is remembered between runs and LF ends lines, the window's default.
#include <QString>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "cli/cli.h"
#include "dialogs/scripted_dialogs.h"
#include "fileops/trash.h"
#include "settings/ini_search_memory.h"
#include "settings/setting_keys.h"
#include "textcmd/command_table.h"
#include "textcmd/search_commands.h"
#include "textcmd/text_line_reader.h"
#include "textconv/cp932.h"
#include "textconv/kanji_code.h"
#include "viewer/file_info.h"

namespace sorabu::cli {
namespace {

// The information line the viewer shows after its quick display: the file's summary and the
// tags of its first lines.
std::string InfoLine(const std::string& path) {
  const QString qpath = QString::fromLocal8Bit(path.c_str());
  std::string text;
  std::string first;
  textcmd::TTextLineReader reader(textcmd::LineModel::StreamingLf, 16 * 1024);
  if (reader.Open(path)) {
    std::string line;
    for (int i = 0; i < 20 && reader.ReadLine(line, 1 << 16) == textcmd::TTextLineReader::Result::Line; ++i) {
      if (i == 0) first = line;
      text += line + "\r\n";
      if (reader.LineCut()) break;
    }
  }
  const int code = text.empty() ? -1 : textconv::DetectKanjiCode(text);
  return viewer::BuildFileInfoLine(qpath) + viewer::InfoLineTags(first, qpath, code);
}

// Why path is no file a command can rewrite (UTF-8), or empty.
std::string WhyNotAFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::strerror(errno);
  if (S_ISDIR(st.st_mode)) return "フォルダです。ファイルを指定してください";
  if (!S_ISREG(st.st_mode)) return "通常のファイルではありません (FIFO、デバイスまたはソケット)";
  return {};
}

// A line on standard error naming path as the file system holds it.
void NotDone(const std::string& path, const std::string& utf8Why) {
  std::fprintf(stderr, "sorabu-cli run: %s: %s\n", EscapedName(path).c_str(), utf8Why.c_str());
}

int Run(const std::vector<std::string>& args) {
  bool backup = true;
  bool lfLines = true;
  dialogs::TScriptedDialogs dialogs;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--backup") {
      backup = true;
    } else if (args[i] == "--no-backup") {
      backup = false;
    } else if (args[i] == "--ini" && i + 1 < args.size()) {
      const std::string ini = args[++i];
      lfLines = settings::Read(settings::TIniFile(ini), settings::kLfLines);
      textcmd::SetSearchEnvironment({[ini] { return std::make_unique<settings::TIniSearchMemory>(ini); }, nullptr});
    } else if (args[i] == "--answer" && i + 1 < args.size()) {
      dialogs.Answer(ArgToCp932(args[++i]));
    } else {
      rest.push_back(args[i]);
    }
  }
  if (rest.size() != 2) return Usage("run");
  const std::string& handler = rest[0];
  const std::string& path = rest[1];
  if (textcmd::FindCommand(handler) == nullptr) {
    Complain(ArgToCp932ForDisplay("unknown command: " + handler + " (sorabu-cli commands lists them)"));
    return kExitUsage;
  }
  if (const std::string why = WhyNotAFile(path); !why.empty()) {
    NotDone(path, why);
    return kExitFailed;
  }
  textcmd::TCommandContext context(dialogs);
  context.backup = backup;
  context.lfLines = lfLines;
  context.infoLine = InfoLine;
  context.trash = fileops::MoveToTrash;
  const auto outcome = textcmd::RunCommand(handler, path, context);
  int status = kExitDone;
  for (const auto& message : dialogs.Messages()) {
    Complain(message.text);
    if (message.kind != dialogs::TScriptedDialogs::Message::Information) status = kExitFailed;
  }
  // The window is silent about these; the tool says what it did not do.
  if (outcome == textcmd::Outcome::Cancelled) {
    const std::string asked = dialogs.Questions().empty() ? std::string()
                                                          : " (" + textconv::Cp932ToUtf8(dialogs.Questions().back()) + ")";
    NotDone(path, "取り消しました。ファイルは元のままです" + asked);
    status = kExitFailed;
  } else if (outcome == textcmd::Outcome::NoFile) {
    NotDone(path, "ファイルがありません");
    status = kExitFailed;
  } else if (outcome != textcmd::Outcome::Done) {
    status = kExitFailed;
  }
  return status;
}

const TSubcommand kRun("run", "[--backup|--no-backup] [--ini FILE] [--answer TEXT]... HANDLER FILE", Run);

}  // namespace
}  // namespace sorabu::cli
