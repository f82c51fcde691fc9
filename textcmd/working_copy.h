// The working-copy frame shared by every file-rewriting command.
//
// The selected file P is renamed to its working copy W (P with the extension ".org"), the
// command reads W and writes a fresh P, then the window shows P again. Nothing is truncated:
// the rename moves the previous content aside intact, so a failure at any later point (a full
// disk, a read error) leaves the previous content in W. When P cannot even be created, W is
// renamed back, so the file is as it was. The window's steps (refresh, SelectAndShow) and the
// backup option arrive from outside, so this code runs the same under the window, the
// command-line tool and the tests.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "dialogs/dialogs.h"
#include "textcmd/out_file.h"

namespace sorabu::textcmd {

// How a command deviates from the default frame.
enum class Variation {
  Default,         // refresh when backup is on, delete W when it is off, warning built from W
  FixedWarning,    // as Default, but the refusal warning is the fixed text with "org"
  LineConversion,  // RunLineConversion: no refresh, W always kept
  AutoCode,        // automatic code conversion: no refresh, W deleted when backup is off
};

// What the window (or the tool) lends to a command.
struct TCommandContext {
  explicit TCommandContext(dialogs::TDialogs& d) : dialogs(d) {}
  dialogs::TDialogs& dialogs;
  bool backup = true;                                        // Mbackup1
  // Mlfline: an LF alone ends a line too, and lines are written with the file's own line end;
  // off, lines end only at CR or CR LF and are written with CR LF.
  bool lfLines = true;
  std::function<void()> refresh;                             // the full refresh of the browser
  std::function<void(const std::string& path)> selectAndShow;
  std::function<std::string(const std::string& path)> infoLine;  // LFilestring for the hex dump
  // A byte string whose plain byte order is the locale-aware case-insensitive order of lines.
  std::function<std::string(std::string_view line)> sortKey;
  int caretColumn = 0;     // the caret's offset in its pane line
  int selectionLength = 0;  // the pane's selection length
  // Called now and then while a command works, with the bytes written so far and the size of the
  // file it reads; false cancels the command, which then leaves the file, its working copy and
  // the folder as they were before it started.
  std::function<bool(unsigned long long written, unsigned long long total)> progress;
  // Moves an earlier working copy to the desktop's trash; false when it could not. Without it an
  // earlier working copy is never replaced.
  std::function<bool(const std::string& path)> trash;
};

// Raises TCommandCancelled when the context's progress callback asks to stop; for the long steps
// of a command that writes nothing meanwhile (sorting).
void CheckCancelled(TCommandContext& context);

enum class Outcome { Done, NoFile, Cancelled, Refused, Failed };

// P with its extension replaced by ".org" (appended when the name has none; a leading dot of a
// hidden file's name is not an extension).
std::string WorkingCopyPath(const std::string& path);
bool IsExistingFile(const std::string& path);

// The check and rename: refuses (with the warning) when P and W name the same file regardless
// of letter case; otherwise renames P to W, which must not exist (an earlier W is the caller's
// to move away). Refused or Failed leave P as it was; Failed reports the system's reason through
// dialogs.Error.
Outcome MakeWorkingCopy(const std::string& path, const std::string& workingCopy, Variation variation,
                        dialogs::TDialogs& dialogs);

// Reads W, writes P; false with error set when reading or transforming fails.
using FrameBody = std::function<bool(const std::string& workingCopy, TOutFile& out, std::string& error)>;

// Steps 3 to 10 of the frame around body. The caller has checked P and asked its questions.
Outcome RunFrame(const std::string& path, Variation variation, TCommandContext& context,
                 const FrameBody& body);

// The refusal warnings.
std::string BuiltWarning(const std::string& workingCopy);
std::string FixedWarning();

}  // namespace sorabu::textcmd
