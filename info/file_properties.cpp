#include "info/file_properties.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "info/drive_figures.h"
#include "textconv/cp932.h"
#include "textconv/ui_text.h"

namespace sorabu::info {

namespace {

using textconv::Sjis;

std::string Time(const timespec& ts) {
  std::tm tm {};
  localtime_r(&ts.tv_sec, &tm);
  char buf[40];
  std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", &tm);
  return buf;
}

std::string TypeText(const struct stat& st) {
  if (S_ISLNK(st.st_mode)) return Sjis("シンボリックリンク");
  if (S_ISDIR(st.st_mode)) return Sjis("フォルダー");
  if (S_ISREG(st.st_mode)) return Sjis((st.st_mode & 0111) ? "実行ファイル" : "ファイル");
  if (S_ISFIFO(st.st_mode)) return Sjis("名前付きパイプ");
  if (S_ISSOCK(st.st_mode)) return Sjis("ソケット");
  if (S_ISCHR(st.st_mode)) return Sjis("キャラクタデバイス");
  if (S_ISBLK(st.st_mode)) return Sjis("ブロックデバイス");
  return "?";
}

std::string UserName(uid_t uid) {
  if (const passwd* p = ::getpwuid(uid)) return textconv::Utf8ToCp932(p->pw_name);
  return std::to_string(uid);
}

std::string GroupName(gid_t gid) {
  if (const group* g = ::getgrgid(gid)) return textconv::Utf8ToCp932(g->gr_name);
  return std::to_string(gid);
}

}  // namespace

std::string PermissionText(unsigned mode) {
  std::string s = "---------";
  const char letters[] = "rwx";
  for (int i = 0; i < 9; ++i)
    if (mode & (0400u >> i)) s[static_cast<std::size_t>(i)] = letters[i % 3];
  if (mode & 04000) s[2] = (mode & 0100) ? 's' : 'S';
  if (mode & 02000) s[5] = (mode & 0010) ? 's' : 'S';
  if (mode & 01000) s[8] = (mode & 0001) ? 't' : 'T';
  return s;
}

FileProperties ReadFileProperties(const std::string& path) {
  FileProperties p;
  struct stat st {};
  if (path.empty() || ::lstat(path.c_str(), &st) != 0) return p;
  const std::size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string folder = slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
  p.caption = textconv::Utf8ToCp932Exact(name) + Sjis(" のプロパティ");
  auto row = [&p](const char* label, std::string value) { p.rows.emplace_back(Sjis(label), std::move(value)); };
  row("名前", textconv::Utf8ToCp932Exact(name));
  row("場所", textconv::Utf8ToCp932Exact(folder));
  row("種類", TypeText(st));
  if (!S_ISDIR(st.st_mode))
    row("サイズ", GroupDigits(static_cast<unsigned long long>(st.st_size)) + " byte");
  row("ディスク上のサイズ", GroupDigits(static_cast<unsigned long long>(st.st_blocks) * 512ull) + " byte");
  row("更新日時", Time(st.st_mtim));
  row("アクセス日時", Time(st.st_atim));
  row("属性変更日時", Time(st.st_ctim));
  char octal[8];
  std::snprintf(octal, sizeof octal, "%04o", static_cast<unsigned>(st.st_mode & 07777));
  row("アクセス権", PermissionText(st.st_mode) + " (" + octal + ")");
  row("所有者", UserName(st.st_uid) + " / " + GroupName(st.st_gid));
  if (S_ISLNK(st.st_mode)) {
    char buf[4096];
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
    std::string target = textconv::Utf8ToCp932Exact(n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string());
    struct stat to {};
    if (::stat(path.c_str(), &to) != 0) target += Sjis(" (リンク切れ)");
    row("リンク先", std::move(target));
  }
  return p;
}

}  // namespace sorabu::info
