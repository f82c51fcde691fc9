// Cutting a file into numbered parts and joining files into one. The kernel copies the bytes
// (copy_file_range at explicit offsets); holes of a sparse source stay holes, so a large sparse
// file is cut and joined without writing its zeros.
#include "fileops/split_merge.h"

#include "fileops/file_io.h"
#include "textconv/cp932.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <filesystem>
#include <system_error>

namespace sorabu::fileops {
namespace {

using io::BaseName;
using io::CreateBeside;
using io::Fd;
using io::JoinPath;
using io::MakeBeside;
using io::NameStart;
using io::OpenRegular;
using io::Reason;
using io::WriteAll;

using u64 = unsigned long long;

constexpr u64 kPiece = 16ull << 20;   // bytes copied between two progress calls
constexpr size_t kBuffer = 1u << 20;  // one read and write when the kernel does not copy


TFileJobOutcome Fail(const std::string& path, const std::string& error) {
  return {TFileJobResult::Failed, error, path};
}
TFileJobOutcome Fail(const std::string& path, int err) { return Fail(path, Reason(err)); }
TFileJobOutcome Cancelled() { return {TFileJobResult::Cancelled, {}, {}}; }
TFileJobOutcome Done() { return {TFileJobResult::Done, {}, {}}; }


// Where the extension of the last name begins, or npos.
size_t ExtensionDot(const std::string& path) {
  const size_t start = NameStart(path);
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot <= start) return std::string::npos;
  if (path.compare(start, std::string::npos, "..") == 0) return std::string::npos;
  return dot;
}

// A name for the shell: "./" before a leading "-" so cat takes no option, then single quotes.
std::string ShellQuote(const std::string& name) {
  std::string quoted = "'";
  if (!name.empty() && name[0] == '-') quoted += "./";
  for (const char c : name) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

// Copies byte ranges between open files, with copy_file_range while the kernel does it and with
// pread/pwrite after it refused once (which also tells the failing side apart).
class Copier {
 public:
  enum class Stop { Done, Cancelled, ReadFailed, WriteFailed };
  // Called between pieces with the bytes of the range done so far; false stops.
  using Pace = std::function<bool(u64 done)>;

  // Copies [from, from + length) of `in` to `out` at `to`. `out` must read as zeros from `to` on
  // (a new file being filled in order): holes of `in` are skipped and the end is set with
  // ftruncate. `copied` is the length made, shorter when `in` ended early.
  Stop Range(int in, u64 from, u64 length, int out, u64 to, const Pace& pace, u64& copied) {
    const u64 end = from + length;
    u64 pos = from, reached = from;
    copied = 0;
    while (pos < end) {
      off_t data = ::lseek(in, static_cast<off_t>(pos), SEEK_DATA);
      if (data < 0) {
        if (errno == ENXIO) break;  // only a hole (or nothing) is left
        data = static_cast<off_t>(pos);
      }
      if (static_cast<u64>(data) >= end) break;
      const off_t hole = ::lseek(in, data, SEEK_HOLE);
      u64 stop = hole > data ? std::min(static_cast<u64>(hole), end) : end;
      for (u64 at = static_cast<u64>(data); at < stop;) {
        const u64 want = std::min(kPiece, stop - at);
        u64 got = 0;
        const Stop s = Piece(in, at, want, out, to + (at - from), got);
        if (s != Stop::Done) return s;
        at += got;
        reached = at;
        if (got < want) {  // the source is shorter than it was
          copied = reached - from;
          return Stop::Done;
        }
        if (at < end && pace && !pace(at - from)) return Stop::Cancelled;
      }
      pos = stop;
    }
    struct stat st {};
    if (::fstat(in, &st) != 0) {
      error = errno;
      return Stop::ReadFailed;
    }
    const u64 last = std::max(reached, std::min(end, static_cast<u64>(st.st_size)));
    copied = last - from;
    if (last > reached && ::ftruncate(out, static_cast<off_t>(to + copied)) != 0) {
      error = errno;
      return Stop::WriteFailed;
    }
    return Stop::Done;
  }

  int error = 0;

 private:
  Stop Piece(int in, u64 from, u64 length, int out, u64 to, u64& got) {
    while (got < length) {
      if (kernel_) {
        loff_t i = static_cast<loff_t>(from + got), o = static_cast<loff_t>(to + got);
        const ssize_t n = ::copy_file_range(in, &i, out, &o, length - got, 0);
        if (n > 0) {
          got += static_cast<u64>(n);
          continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // EXDEV, ENOSYS, EINVAL and the like, or an end of file the kernel may report wrongly:
        // the plain path decides.
        kernel_ = false;
        continue;
      }
      if (buffer_.empty()) buffer_.resize(kBuffer);
      const size_t want = static_cast<size_t>(std::min<u64>(kBuffer, length - got));
      const ssize_t n = ::pread(in, buffer_.data(), want, static_cast<off_t>(from + got));
      if (n < 0) {
        if (errno == EINTR) continue;
        error = errno;
        return Stop::ReadFailed;
      }
      if (n == 0) return Stop::Done;
      for (size_t w = 0; w < static_cast<size_t>(n);) {
        const ssize_t m = ::pwrite(out, buffer_.data() + w, static_cast<size_t>(n) - w,
                                   static_cast<off_t>(to + got + w));
        if (m <= 0) {
          if (m < 0 && errno == EINTR) continue;
          error = m < 0 ? errno : EIO;
          return Stop::WriteFailed;
        }
        w += static_cast<size_t>(m);
      }
      got += static_cast<u64>(n);
    }
    return Stop::Done;
  }

  bool kernel_ = true;
  std::vector<char> buffer_;
};

// Two paths that name the same entry as written ("a" and "./a").
bool SamePath(const std::string& a, const std::string& b) {
  return a == b || std::filesystem::path(a).lexically_normal() == std::filesystem::path(b).lexically_normal();
}

bool Listed(const std::vector<std::string>& paths, const std::string& path) {
  return std::any_of(paths.begin(), paths.end(), [&](const std::string& p) { return SamePath(p, path); });
}

bool SameFile(const std::string& path, const struct stat& st) {
  struct stat other {};
  return ::stat(path.c_str(), &other) == 0 && other.st_dev == st.st_dev && other.st_ino == st.st_ino;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// The .bat file is Shift-JIS text for cmd.exe; the lines come in the file system's UTF-8.
std::string BatchText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += textconv::Utf8ToCp932(line) + "\r\n";
  return text;
}

// A name the .bat file cannot hold unchanged would name another file there.
bool FitsBatch(const std::string& utf8) { return textconv::Cp932ToUtf8(textconv::Utf8ToCp932(utf8)) == utf8; }
constexpr const char* kBatchMisfit =
    "名前に Shift-JIS で表せない文字があるため、結合用の .bat ファイルに書けません。何も作りませんでした";

// Writes text under a new name beside path; the caller renames it into place.
int WriteBeside(const std::string& path, const std::string& text, mode_t mode, std::string& made) {
  Fd fd;
  int err = CreateBeside(path, mode, made, fd);
  if (err != 0) return err;
  err = WriteAll(fd.get(), text);
  if (err == 0) err = fd.Close();
  if (err != 0) ::unlink(made.c_str());
  return err;
}

// Temporary names made by a join; those not renamed into place are removed.
struct Temporaries {
  std::vector<std::string> names;
  ~Temporaries() {
    for (const std::string& name : names) ::unlink(name.c_str());
  }
};

}  // namespace

std::string PartName(const std::string& source, unsigned long long part) {
  char digits[8];
  std::snprintf(digits, sizeof digits, ".%03u", static_cast<unsigned>(part % 1000));
  return source.substr(0, ExtensionDot(source)) + digits;
}

unsigned long long PartCount(unsigned long long fileSize, unsigned long long partSize) {
  if (partSize == 0) return std::numeric_limits<u64>::max();
  const u64 whole = fileSize / partSize;
  return whole == std::numeric_limits<u64>::max() ? whole : whole + 1;
}

std::string WithExtension(const std::string& path, const std::string& extension) {
  return path.substr(0, ExtensionDot(path)) + extension;
}

std::vector<std::string> SplitBatchLines(const std::string& source, unsigned long long parts) {
  const std::string name = BaseName(source);
  std::vector<std::string> lines;
  for (u64 i = 1; i <= parts; ++i) {
    const std::string part = BaseName(PartName(source, i));
    lines.push_back(i == 1 ? "COPY /B " + part + " " + name
                           : "COPY /B " + name + "+" + part + " " + name);
  }
  return lines;
}

std::vector<std::string> MergeBatchLines(const std::vector<std::string>& inputs, const std::string& output) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < inputs.size(); ++i)
    lines.push_back(i == 0 ? "COPY /B " + inputs[0] + " " + output
                           : "COPY /B " + output + "+" + inputs[i] + " " + output);
  return lines;
}

std::string JoinScript(const std::vector<std::string>& inputs, const std::string& output) {
  std::string cat = "cat";
  for (const std::string& input : inputs) cat += " " + ShellQuote(input);
  // The shell empties the target of ">" before cat reads a byte, so an output that is also an
  // input is written under another name first.
  if (!Listed(inputs, output))
    return "#!/bin/sh\n" + cat + " > " + ShellQuote(output) + "\n";
  const std::string temp = ShellQuote(output + ".join");
  return "#!/bin/sh\n" + cat + " > " + temp + " && mv -f " + temp + " " + ShellQuote(output) + "\n";
}

TFileJobOutcome SplitFile(const std::string& source, unsigned long long partSize, const TSplitProgress& progress) {
  if (partSize == 0) return Fail(source, "the part size is 0");
  if (!FitsBatch(BaseName(source))) return Fail(source, kBatchMisfit);
  Fd in;
  struct stat st {};
  if (const std::string why = OpenRegular(source, in, st); !why.empty()) return Fail(source, why);
  const u64 size = static_cast<u64>(st.st_size);
  const u64 parts = PartCount(size, partSize);
  if (parts > kMaxParts)
    return Fail(source, std::to_string(parts) + " parts; at most " + std::to_string(kMaxParts) + " can be made");

  std::vector<std::string> names;
  for (u64 i = 1; i <= parts; ++i) names.push_back(PartName(source, i));
  const std::string batch = WithExtension(source, ".bat"), script = WithExtension(source, ".sh");
  for (const std::string* name : {&batch, &script}) names.push_back(*name);
  for (const std::string& name : names)
    if (SamePath(name, source) || SameFile(name, st)) return Fail(name, "this name is the file being split");
  names.resize(parts);

  std::vector<std::string> written;
  auto removeWritten = [&] {
    for (const std::string& name : written) ::unlink(name.c_str());
  };
  Copier copier;
  u64 offset = 0;
  for (u64 i = 1; i <= parts; ++i) {
    const auto pace = [&](u64) { return !progress || progress(i, parts); };
    if (!pace(0)) {
      removeWritten();
      return Cancelled();
    }
    const std::string& name = names[i - 1];
    Fd part(::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0666));
    if (!part) return Fail(name, errno);
    written.push_back(name);
    const u64 length = std::min(partSize, size - offset);
    u64 copied = 0;
    Copier::Stop stop = copier.Range(in.get(), offset, length, part.get(), 0, pace, copied);
    if (stop == Copier::Stop::Done && (copier.error = part.Close()) != 0) stop = Copier::Stop::WriteFailed;
    switch (stop) {
      case Copier::Stop::Done:
        break;
      case Copier::Stop::Cancelled:
        removeWritten();
        return Cancelled();
      case Copier::Stop::ReadFailed:
      case Copier::Stop::WriteFailed:
        // The parts made so far stay; the one left incomplete goes.
        ::unlink(name.c_str());
        return Fail(stop == Copier::Stop::ReadFailed ? source : name, copier.error);
    }
    offset += length;
  }

  std::vector<std::string> partNames;
  for (const std::string& name : names) partNames.push_back(BaseName(name));
  const struct {
    const std::string& path;
    std::string text;
    mode_t mode;
  } records[] = {{batch, BatchText(SplitBatchLines(source, parts)), 0666},
                 {script, JoinScript(partNames, BaseName(source)), 0777}};
  for (const auto& [path, text, mode] : records) {
    std::string temp;
    int err = WriteBeside(path, text, mode, temp);
    if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) {
      err = errno;
      ::unlink(temp.c_str());
    }
    if (err != 0) return Fail(path, err);
  }
  return Done();
}

TFileJobOutcome MergeFiles(const std::string& folder, const std::vector<std::string>& inputs,
                           const std::string& output, const TByteProgress& progress) {
  const std::string out = JoinPath(folder, output);
  if (output.empty() || output.back() == '/') return Fail(out, "no output name");
  if (inputs.empty()) return Fail(out, "no files to join");
  if (!FitsBatch(out)) return Fail(out, kBatchMisfit);
  for (const std::string& input : inputs)
    if (!FitsBatch(JoinPath(folder, input))) return Fail(JoinPath(folder, input), kBatchMisfit);
  std::vector<std::string> paths;
  u64 total = 0;
  for (const std::string& input : inputs) {
    paths.push_back(JoinPath(folder, input));
    struct stat st {};
    if (::stat(paths.back().c_str(), &st) != 0) return Fail(paths.back(), errno);
    if (S_ISDIR(st.st_mode)) return Fail(paths.back(), EISDIR);
    if (!S_ISREG(st.st_mode)) return Fail(paths.back(), "not a regular file");
    total += static_cast<u64>(st.st_size);
  }
  struct stat old {};
  const bool replacing = ::lstat(out.c_str(), &old) == 0;
  if (replacing && S_ISDIR(old.st_mode)) return Fail(out, EISDIR);

  // The names this join writes or renames away.
  const bool backupFirst = SamePath(paths[0], out);
  const std::string backup = WithExtension(out, ".bak");
  const std::string batch = WithExtension(out, ".bat"), script = WithExtension(out, ".sh");
  const bool oldBatch = Exists(batch);
  const std::string batchBackup = backupFirst || SamePath(backup, out) ? batch + ".bak" : backup;
  std::vector<std::string> written = {out, batch, script};
  if (backupFirst) written.push_back(backup);
  if (oldBatch) written.push_back(batchBackup);
  for (size_t i = 0; i < written.size(); ++i) {
    if (i > 0 && Listed(paths, written[i])) return Fail(written[i], "one of the files to be joined has this name");
    if (std::any_of(written.begin() + static_cast<long>(i) + 1, written.end(),
                    [&](const std::string& w) { return SamePath(w, written[i]); }))
      return Fail(written[i], "the output and its batch file, script or backup would share this name");
  }

  Temporaries temps;
  std::string joined;
  Fd fd;
  if (const int err = CreateBeside(out, 0666, joined, fd); err != 0) return Fail(out, err);
  temps.names.push_back(joined);
  if (replacing && S_ISREG(old.st_mode)) ::fchmod(fd.get(), old.st_mode & 0777);

  u64 done = 0;
  auto report = [&](u64 more) { return !progress || progress(std::min(done + more, total), total); };
  if (!report(0)) return Cancelled();
  Copier copier;
  for (const std::string& path : paths) {
    Fd in;
    struct stat st {};
    if (const std::string why = OpenRegular(path, in, st); !why.empty()) return Fail(path, why);
    u64 copied = 0;
    const Copier::Stop stop = copier.Range(in.get(), 0, static_cast<u64>(st.st_size), fd.get(), done, report, copied);
    if (stop == Copier::Stop::Cancelled) return Cancelled();
    if (stop != Copier::Stop::Done) return Fail(stop == Copier::Stop::ReadFailed ? path : out, copier.error);
    done += copied;
    if (!report(0)) return Cancelled();
  }
  if (const int err = fd.Close(); err != 0) return Fail(out, err);

  // The first input keeps its content under the backup name: a second link to it (the join
  // replaces the name, never the file), or a copy where the file system has no links.
  std::string saved;
  if (backupFirst) {
    int err = MakeBeside(backup, saved,
                         [&](const std::string& name) { return ::link(paths[0].c_str(), name.c_str()) == 0; });
    if (err != 0) {
      Fd in, copy;
      struct stat st {};
      if (const std::string why = OpenRegular(paths[0], in, st); !why.empty()) return Fail(paths[0], why);
      if ((err = CreateBeside(backup, st.st_mode & 0777, saved, copy)) != 0) return Fail(backup, err);
      temps.names.push_back(saved);
      u64 copied = 0;
      const Copier::Stop stop = copier.Range(in.get(), 0, static_cast<u64>(st.st_size), copy.get(), 0,
                                             [&](u64) { return report(0); }, copied);
      if (stop == Copier::Stop::Cancelled) return Cancelled();
      if (stop == Copier::Stop::Done) copier.error = copy.Close();
      if (copier.error != 0) return Fail(stop == Copier::Stop::ReadFailed ? paths[0] : backup, copier.error);
    } else {
      temps.names.push_back(saved);
    }
  }
  std::string newBatch, newScript;
  if (const int err = WriteBeside(batch, BatchText(MergeBatchLines(paths, out)), 0666, newBatch); err != 0)
    return Fail(batch, err);
  temps.names.push_back(newBatch);
  if (const int err = WriteBeside(script, JoinScript(paths, out), 0777, newScript); err != 0)
    return Fail(script, err);
  temps.names.push_back(newScript);

  // Everything is written; only renames in one folder are left.
  struct Move {
    const std::string* from;
    const std::string* to;
  };
  std::vector<Move> moves;
  if (backupFirst) moves.push_back({&saved, &backup});
  if (oldBatch) moves.push_back({&batch, &batchBackup});
  moves.push_back({&newBatch, &batch});
  moves.push_back({&newScript, &script});
  moves.push_back({&joined, &out});
  for (const Move& move : moves) {
    if (::rename(move.from->c_str(), move.to->c_str()) != 0) return Fail(*move.to, errno);
    std::erase(temps.names, *move.from);
  }
  return Done();
}

}  // namespace sorabu::fileops
