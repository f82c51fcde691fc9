#include "textcmd/working_copy.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "textconv/cp932.h"
#include "textconv/ui_text.h"
#include "textconv/system_error.h"

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


// A rename that never replaces what is already at the new name.
int RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  struct stat st {};
  if (::lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return -1;
  }
  return std::rename(from.c_str(), to.c_str());
}

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
  if (RenameNoReplace(path, workingCopy) != 0) {
    const int err = errno;
    dialogs.Error(Shown(path) + textconv::Utf8ToCp932(" の名前を ") + Shown(workingCopy) +
                  textconv::Utf8ToCp932(" に変更できませんでした: ") + textconv::SystemErrorText(err));
    return Outcome::Failed;
  }
  return Outcome::Done;
}

namespace {

// An existing working copy of an earlier command, moved aside while this one runs so that a
// cancelled command can put back exactly what was there.
std::string AsidePath(const std::string& workingCopy) { return workingCopy + ".sorabu-aside"; }

// The file a name stands for: the target of a link, so that the result reaches it and the link
// stays a link. Empty for a dangling link.
std::string Target(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return {};
  std::string target(resolved);
  std::free(resolved);
  return target;
}

bool ReadOnly(const std::string& path, const struct stat& st) {
  return (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

// What must hold before anything is renamed: W is not P under another name, P has no other hard
// links (a new file would split them), and a read-only file is rewritten only when the user says
// so. Done when the command may go on.
Outcome CheckBeforeRenaming(const std::string& path, const std::string& target, const std::string& workingCopy,
                            const struct stat& st, TCommandContext& context) {
  struct stat w {};
  if (::stat(workingCopy.c_str(), &w) == 0 && w.st_dev == st.st_dev && w.st_ino == st.st_ino) {
    context.dialogs.Warning(Shown(path) + textconv::Utf8ToCp932(" と ") + Shown(workingCopy) +
                            textconv::Utf8ToCp932(" は同じファイルです (リンク)。何も変更しませんでした。"));
    return Outcome::Refused;
  }
  if (st.st_nlink > 1) {
    context.dialogs.Warning(Shown(path) + textconv::Utf8ToCp932(
                                              " には別の名前 (ハードリンク) があります。書き換えると別々のファイルに"
                                              "なるため、何も変更しませんでした。"));
    return Outcome::Refused;
  }
  if (ReadOnly(target, st) &&
      !context.dialogs.Confirm(textconv::Utf8ToCp932("読み取り専用のファイル"),
                               textconv::Utf8ToCp932("読み取り専用のファイルです。書き換えますか?"))) {
    return Outcome::Cancelled;
  }
  return Outcome::Done;
}

// The earlier working copy goes to the trash under its own name, so that restoring it from there
// gives its name back; the new working copy steps aside for that moment. False leaves the
// earlier one at the aside name.
bool TrashEarlier(const std::string& workingCopy, const std::string& aside, TCommandContext& context) {
  const std::string fresh = workingCopy + ".sorabu-new";
  if (RenameNoReplace(workingCopy, fresh) != 0) return false;
  bool trashed = false;
  if (RenameNoReplace(aside, workingCopy) == 0) {
    trashed = context.trash(workingCopy);
    if (!trashed) std::rename(workingCopy.c_str(), aside.c_str());
  }
  std::rename(fresh.c_str(), workingCopy.c_str());
  return trashed;
}

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
  const std::string target = Target(path);
  if (target.empty()) return Outcome::NoFile;
  const bool sameName = Lower(path) == Lower(workingCopy);
  if (!sameName) {
    const Outcome checked = CheckBeforeRenaming(path, target, workingCopy, st, context);
    if (checked != Outcome::Done) return checked;
  }
  // Only an earlier working copy (a file or a link) is moved aside; a folder of that name is left
  // where it is, and the working copy then fails to be made, as it always did.
  struct stat old {};
  const bool hadOld =
      !sameName && ::lstat(workingCopy.c_str(), &old) == 0 && (S_ISREG(old.st_mode) || S_ISLNK(old.st_mode));
  if (hadOld && !context.trash) {
    context.dialogs.Warning(textconv::Utf8ToCp932("以前の ") + Shown(workingCopy) +
                            textconv::Utf8ToCp932(" をごみ箱に移せないため、何も変更しませんでした。"));
    return Outcome::Refused;
  }
  if (hadOld && RenameNoReplace(workingCopy, aside) != 0) {
    const int err = errno;
    context.dialogs.Error(Shown(workingCopy) + textconv::Utf8ToCp932(" の名前を ") + Shown(aside) +
                          textconv::Utf8ToCp932(" に変更できませんでした: ") + textconv::SystemErrorText(err));
    return Outcome::Failed;
  }
  auto restoreOld = [&] {
    if (hadOld) std::rename(aside.c_str(), workingCopy.c_str());
  };
  const Outcome made = sameName ? MakeWorkingCopy(path, workingCopy, variation, context.dialogs)
                                : MakeWorkingCopy(target, workingCopy, Variation::Default, context.dialogs);
  if (made != Outcome::Done) {
    restoreOld();
    return made;
  }

  TOutFile out;
  if (!out.Create(target, st.st_mode & 07777)) {
    // Nothing was written: put the file back where it was.
    const std::string reason = textconv::Utf8ToCp932(out.Error());
    if (std::rename(workingCopy.c_str(), target.c_str()) != 0) {
      context.dialogs.Error(reason + textconv::Utf8ToCp932(" (元の内容は ") + Shown(workingCopy) +
                            textconv::Utf8ToCp932(" にあります)"));
    } else {
      restoreOld();
      context.dialogs.Error(reason);
    }
    return Outcome::Failed;
  }
  out.SetLineEnds(LineEndsOf(workingCopy, context.lfLines));
  if (context.progress) {
    const auto total = static_cast<unsigned long long>(st.st_size);
    out.SetProgress([&context, total](unsigned long long written) { return context.progress(written, total); });
  }
  // Cancelled or failed on the way (no memory): the working copy replaces the partial output in
  // one rename, and only then does an earlier working copy come back to its name.
  auto putBack = [&] {
    out.Close();
    if (std::rename(workingCopy.c_str(), target.c_str()) != 0) {
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
  if (closed) {
    // Giving the file back to its owner works only with the privilege to; without it the file
    // stays the user's, as any editor leaves it. The owner comes first: a change of owner clears
    // set-user-ID bits. The umask narrowed the mode the file was created with.
    if (::chown(target.c_str(), st.st_uid, st.st_gid) != 0) (void)::chown(target.c_str(), static_cast<uid_t>(-1), st.st_gid);
    ::chmod(target.c_str(), st.st_mode & 07777);
  }
  if (hadOld && !TrashEarlier(workingCopy, aside, context)) {
    context.dialogs.Warning(textconv::Utf8ToCp932("以前の ") + Shown(workingCopy) +
                            textconv::Utf8ToCp932(" をごみ箱に移せませんでした。") + Shown(aside) +
                            textconv::Utf8ToCp932(" に残してあります。"));
  }
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
