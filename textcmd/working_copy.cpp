#include "textcmd/working_copy.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "textconv/cp932.h"
#include "textconv/ui_text.h"

namespace sorabu::textcmd {
namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// A path in a message keeps every character of its name.
std::string Shown(const std::string& native) { return textconv::Utf8ToCp932Exact(native); }

std::string SystemReason() { return textconv::Utf8ToCp932(std::strerror(errno)); }

}  // namespace

std::string WorkingCopyPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot <= nameStart) return path + ".org";
  return path.substr(0, dot) + ".org";
}

bool IsExistingFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string BuiltWarning(const std::string& workingCopy) {
  const std::size_t dot = workingCopy.rfind('.');
  const std::string ext = dot == std::string::npos ? std::string() : workingCopy.substr(dot);
  return textconv::Utf8ToCp932("拡張子を \"") + ext + textconv::Utf8ToCp932("\" 以外にして下さい。");
}

std::string FixedWarning() { return textconv::Utf8ToCp932("拡張子を \"org\" 以外にして下さい。"); }

Outcome MakeWorkingCopy(const std::string& path, const std::string& workingCopy, Variation variation,
                        dialogs::TDialogs& dialogs) {
  if (Lower(path) == Lower(workingCopy)) {
    dialogs.Warning(variation == Variation::FixedWarning ? FixedWarning() : BuiltWarning(workingCopy));
    return Outcome::Refused;
  }
  if (::unlink(workingCopy.c_str()) != 0 && errno != ENOENT) {
    dialogs.Error(Shown(workingCopy) + textconv::Utf8ToCp932(" を削除できませんでした: ") + SystemReason());
    return Outcome::Failed;
  }
  if (std::rename(path.c_str(), workingCopy.c_str()) != 0) {
    dialogs.Error(Shown(path) + textconv::Utf8ToCp932(" の名前を ") + Shown(workingCopy) +
                  textconv::Utf8ToCp932(" に変更できませんでした: ") + SystemReason());
    return Outcome::Failed;
  }
  return Outcome::Done;
}

namespace {

// An existing working copy of an earlier command, moved aside while this one runs so that a
// cancelled command can put back exactly what was there.
std::string AsidePath(const std::string& workingCopy) { return workingCopy + ".sorabu-aside"; }

}  // namespace

void CheckCancelled(TCommandContext& context) {
  if (context.progress && !context.progress(0, 0)) throw TCommandCancelled{};
}

Outcome RunFrame(const std::string& path, Variation variation, TCommandContext& context,
                 const FrameBody& body) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return Outcome::NoFile;
  const std::string workingCopy = WorkingCopyPath(path);
  const std::string aside = AsidePath(workingCopy);
  const bool cancellable = static_cast<bool>(context.progress);
  // Only an earlier working copy (a file) is moved aside; a folder of that name is left where it
  // is, and the working copy then fails to be made, as it always did.
  struct stat old {};
  const bool hadOld = cancellable && Lower(path) != Lower(workingCopy) && ::lstat(workingCopy.c_str(), &old) == 0 &&
                      (S_ISREG(old.st_mode) || S_ISLNK(old.st_mode)) &&
                      std::rename(workingCopy.c_str(), aside.c_str()) == 0;
  auto restoreOld = [&] {
    if (hadOld) std::rename(aside.c_str(), workingCopy.c_str());
  };
  const Outcome made = MakeWorkingCopy(path, workingCopy, variation, context.dialogs);
  if (made != Outcome::Done) {
    restoreOld();
    return made;
  }

  TOutFile out;
  if (!out.Create(path, st.st_mode & 07777)) {
    // Nothing was written: put the file back where it was.
    const std::string reason = textconv::Utf8ToCp932(out.Error());
    if (std::rename(workingCopy.c_str(), path.c_str()) != 0) {
      context.dialogs.Error(reason + textconv::Utf8ToCp932(" (元の内容は ") + Shown(workingCopy) +
                            textconv::Utf8ToCp932(" にあります)"));
    } else {
      restoreOld();
      context.dialogs.Error(reason);
    }
    return Outcome::Failed;
  }
  out.SetLineEnds(LineEndsOf(workingCopy, context.lfLines));
  if (cancellable) {
    const auto total = static_cast<unsigned long long>(st.st_size);
    out.SetProgress([&context, total](unsigned long long written) { return context.progress(written, total); });
  }
  // Cancelled or failed on the way (no memory): the working copy replaces the partial output in
  // one rename, and only then does an earlier working copy come back to its name.
  auto putBack = [&] {
    out.Close();
    if (std::rename(workingCopy.c_str(), path.c_str()) != 0) {
      context.dialogs.Error(textconv::Utf8ToCp932("元に戻せませんでした。元の内容は ") + Shown(workingCopy) +
                            textconv::Utf8ToCp932(" にあります") +
                            (hadOld ? textconv::Utf8ToCp932("（以前の ") + Shown(workingCopy) +
                                          textconv::Utf8ToCp932(" は ") + Shown(aside) + textconv::Utf8ToCp932(" にあります）")
                                    : std::string()));
      return;
    }
    restoreOld();
  };
  std::string error;
  bool transformed = false;
  try {
    transformed = body(workingCopy, out, error);
  } catch (const TCommandCancelled&) {
    putBack();
    return Outcome::Cancelled;
  } catch (...) {
    putBack();
    throw;
  }
  const bool closed = out.Close();
  if (hadOld) ::unlink(aside.c_str());
  if (!transformed || !closed) {
    if (error.empty()) error = textconv::Utf8ToCp932(out.Error());
    context.dialogs.Error(error + textconv::Utf8ToCp932(" (元の内容は ") + Shown(workingCopy) +
                          textconv::Utf8ToCp932(" にあります)"));
    return Outcome::Failed;
  }

  const bool refreshes = variation == Variation::Default || variation == Variation::FixedWarning;
  const bool deletes = variation != Variation::LineConversion;
  if (context.backup && refreshes && context.refresh) context.refresh();
  if (context.selectAndShow) context.selectAndShow(path);
  if (!context.backup && deletes) ::unlink(workingCopy.c_str());
  return Outcome::Done;
}

}  // namespace sorabu::textcmd
