#include "tests/monkey/corpus.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "textconv/cp932.h"
#include "textconv/jis_euc_sjis.h"
#include "textconv/unicode_text.h"

extern char** environ;

namespace fs = std::filesystem;

namespace sorabu::monkey {

namespace {

// Lines of Japanese in UTF-8: kana, kanji, half-width kana, symbols, and a character (〜) that
// code page 932 writes differently from JIS.
const char* const kLines[] = {
    "吾輩は猫である。名前はまだ無い。",
    "どこで生れたかとんと見当がつかぬ。",
    "ｶﾀｶﾅ ﾊﾝｶｸ と ＡＢＣ 全角英字、記号「」『』【】※〒",
    "表示・検索・置換のテスト　ソ十表能（ダメ文字）",
    "ASCII only line with tabs\tand\tcolumns,1,2,3",
    "〜ー－～∥｜…‥①②Ⅰ㈱",
    "",
    "	  leading blanks and trailing blanks   ",
    "<html><body><p>タグ&amp;文字参照&#12354;</p></body></html>",
    "\\section{見出し} $x^2$ \\begin{itemize}\\item 項目\\end{itemize}",
};

std::string JapaneseText(std::mt19937& rng, int lines, const char* eol) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    text += kLines[rng() % std::size(kLines)];
    text += eol;
  }
  return text;
}

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool Run(const std::vector<std::string>& argv, const fs::path& folder) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void SetTime(const fs::path& path, long minute) {
  const timespec t{1577836800 + minute * 60, 0};  // from 2020-01-01 on
  const timespec times[2] = {t, t};
  ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

void MakeSocket(const fs::path& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.native().size() < sizeof addr.sun_path) {
    std::memcpy(addr.sun_path, path.c_str(), path.native().size());
    (void)::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  }
  ::close(fd);
}

}  // namespace

std::vector<std::string> FillCorpus(const fs::path& folder, std::mt19937& rng, const TCorpusTools& tools) {
  std::vector<std::string> problems;
  fs::create_directories(folder);
  const fs::path& d = folder;
  const std::string text = JapaneseText(rng, 40, "\r\n");
  const std::string sjis = textconv::Utf8ToCp932(text);
  Write(d / "sjis.txt", sjis);
  Write(d / "euc.txt", textconv::ShiftJisToEuc(sjis));
  {
    std::string jis;
    for (std::size_t start = 0; start < sjis.size();) {
      std::size_t end = sjis.find("\r\n", start);
      if (end == std::string::npos) end = sjis.size();
      jis += textconv::ShiftJisToJis(std::string_view(sjis).substr(start, end - start)) + "\r\n";
      start = end + 2;
    }
    Write(d / "jis.txt", jis);
  }
  Write(d / "utf8.txt", JapaneseText(rng, 30, "\n"));
  Write(d / "utf8-bom.txt", "\xEF\xBB\xBF" + JapaneseText(rng, 10, "\n"));
  Write(d / "utf16le.txt", textconv::Utf8ToUtf16WithMark(JapaneseText(rng, 20, "\r\n"), true));
  Write(d / "utf16be.txt", textconv::Utf8ToUtf16WithMark(JapaneseText(rng, 5, "\n"), false));
  Write(d / "cr.txt", textconv::Utf8ToCp932(JapaneseText(rng, 15, "\r")));
  Write(d / "lf.txt", textconv::Utf8ToCp932(JapaneseText(rng, 15, "\n")));
  Write(d / "crlf.txt", textconv::Utf8ToCp932(JapaneseText(rng, 15, "\r\n")));
  Write(d / "mixed-ends.txt", textconv::Utf8ToCp932(JapaneseText(rng, 3, "\r") + JapaneseText(rng, 3, "\n") +
                                                   JapaneseText(rng, 3, "\r\n")));
  Write(d / "empty.txt", "");
  Write(d / "one-byte.txt", "x");
  Write(d / "eof-mark.txt", "before\r\n\x1a" "after\r\n");
  {
    std::string binary(70000, '\0');
    for (char& c : binary) c = static_cast<char>(rng());
    Write(d / "binary.bin", binary);
    Write(d / "cut-sjis.txt", sjis.substr(0, 1) + "\x82");  // a lead byte at the end
  }
  {
    // A single line of three megabytes, Shift-JIS, without a line end.
    std::string huge;
    const std::string unit = textconv::Utf8ToCp932(kLines[0]);
    while (huge.size() < (3u << 20)) huge += unit;
    Write(d / "huge-line.txt", huge);
    // Over a megabyte of ordinary lines: the pane prepares its editing beside the window.
    std::string big;
    while (big.size() < (1200u << 10)) big += sjis;
    Write(d / "big.txt", big);
  }
  Write(d / "doc.rtf", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 MS Gothic;}}\\f0\\fs20 rich {\\b bold} \\par text}");
  Write(d / "page.html", textconv::Utf8ToCp932(std::string("<html><head><title>題</title></head><body>") + kLines[8] +
                                              "<br>&lt;&gt;&nbsp;</body></html>\r\n"));
  Write(d / "table.csv", "a,b,c\r\n1,\"2,3\",4\r\n\"x\"\"y\",,\r\n");
  Write(d / "paper.tex", textconv::Utf8ToCp932(std::string(kLines[9]) + "\r\n"));
  Write(d / "mail.eml", "Subject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\r\n\r\nbody\r\n");
  Write(d / "run.sh", "#!/bin/sh\necho should never run\n");
  fs::permissions(d / "run.sh", fs::perms::owner_all);

  // Names: beyond Shift-JIS, changed by it, not UTF-8 at all, odd but valid.
  Write(d / "한국어😀.txt", "korean and emoji name\r\n");
  Write(d / "中文简体.txt", "chinese name\r\n");
  Write(d / "波〜線.txt", textconv::Utf8ToCp932("波ダッシュ〜\r\n"));
  Write(d / std::string("\xff\xfe.txt"), "not utf-8 name\r\n");
  Write(d / std::string("bad\x80name.txt"), "not utf-8 name\r\n");
  Write(d / "-dash.txt", "dash\r\n");
  Write(d / " blank name .txt", "blank\r\n");
  Write(d / ".hidden", "hidden\r\n");
  Write(d / std::string(180, 'n').append(".txt"), "long name\r\n");

  // Unreadable ones (root reads them anyway).
  Write(d / "unreadable.txt", "secret\r\n");
  fs::permissions(d / "unreadable.txt", fs::perms::none);
  fs::create_directories(d / "locked");
  Write(d / "locked" / "inside.txt", "inside\r\n");
  fs::permissions(d / "locked", fs::perms::none);

  // Folders, links, loops.
  fs::create_directories(d / "sub" / "deeper");
  Write(d / "sub" / "a.txt", sjis.substr(0, 200));
  Write(d / "sub" / "deeper" / "b.txt", "deep\r\n");
  fs::create_directories(d / "many");
  for (int i = 0; i < 150; ++i) Write(d / "many" / ("f" + std::to_string(i) + ".txt"), std::to_string(i) + "\r\n");
  std::error_code ec;
  fs::create_symlink("sjis.txt", d / "link-to-sjis.txt", ec);
  fs::create_directory_symlink("sub", d / "link-to-sub", ec);
  fs::create_symlink("loop-b", d / "loop-a", ec);
  fs::create_symlink("loop-a", d / "loop-b", ec);
  fs::create_directory_symlink("..", d / "sub" / "back-up", ec);
  fs::create_symlink("missing.txt", d / "dangling", ec);

  if (::mkfifo((d / "pipe").c_str(), 0644) != 0) problems.push_back("mkfifo failed");
  MakeSocket(d / "socket");

  // Archives of what is there.
  if (!Run({tools.cli.native(), "lha", "a", "small.lzh", "sjis.txt", "lf.txt", "sub/a.txt"}, d))
    problems.push_back("sorabu-cli lha a failed");
  if (!Run({"zip", "-q", "small.zip", "utf8.txt", "crlf.txt", "sub/deeper/b.txt"}, d)) problems.push_back("zip failed");
  if (!Run({"tar", "cf", "small.tar", "euc.txt", "jis.txt", "sub"}, d)) problems.push_back("tar failed");
  if (!Run({"tar", "czf", "small.tgz", "cr.txt", "binary.bin"}, d)) problems.push_back("tar czf failed");
  Write(d / "broken.lzh", std::string("\x20\x00-lh5-\x10\x00\x00\x00", 11) + std::string(30, '\x7f'));
  Write(d / "broken.zip", std::string("PK\x03\x04\x14\x00", 6) + std::string(40, '\x01'));

  long minute = 0;
  for (fs::recursive_directory_iterator it(d, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
       it.increment(ec))
    SetTime(it->path(), minute += 7);
  SetTime(d, minute + 7);
  return problems;
}

TFolderSize MeasureFolder(const fs::path& folder, std::uintmax_t byteLimit, std::size_t entryLimit) {
  TFolderSize size;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
       !ec && it != end; it.increment(ec)) {
    ++size.entries;
    struct stat st {};
    if (::lstat(it->path().c_str(), &st) == 0 && S_ISREG(st.st_mode)) size.bytes += static_cast<std::uintmax_t>(st.st_size);
    if (size.bytes > byteLimit || size.entries > entryLimit) break;
  }
  return size;
}

}  // namespace sorabu::monkey
