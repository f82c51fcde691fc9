// Detection never raises: a library that is missing or fails counts as "not this format". Content
// detection asks the plug-ins in a fixed priority (LHA, CAB, BGA, ZIP, ARJ, RAR, 7z, then the tar
// library's archive type), each by opening the archive and closing it again. LHA is checked by
// its headers only (mode 4): decoding every entry (mode 16) just to learn the format let a
// self-extracting bomb run for minutes and hold a whole entry in memory before a listing.
//
// There are no windows to carry progress messages; a set OnProgress handler stands for an owner
// window (so the command lines get their owner switches) and is called before and after each
// command, where it may abort before the command starts, and for the library's notices of each
// entry it extracts, where it may stop the library within the entry.
#include "archive/bind/archive_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

#include "archive/libs/unlha32/command_line.h"
#include "textconv/cp932.h"

namespace sorabu::archive {
namespace {

constexpr std::uint32_t kDetectMode = 8388610;

std::string LowerExtension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t sep = path.find_last_of("/\\");
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return "";
  std::string ext = path.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

bool OpensAs(TArchiver& a, const std::string& path) {
  try {
    if (!a.LoadDLL()) return false;
    void* h = a.Open(nullptr, path, kDetectMode);
    if (h == nullptr) return false;
    a.Close(h);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

TArchiverState ExtractState(unsigned notice) {
  return notice == kArcExtractBegin ? TArchiverState::asExtractBegin
         : notice == kArcExtractEnd ? TArchiverState::asExtractEnd
                                    : TArchiverState::asExtractInProcess;
}

TArchiverType TypeByName(const std::string& path) {
  const std::string ext = LowerExtension(path);
  if (ext == ".lzh") return TArchiverType::atLha;
  if (ext == ".cab") return TArchiverType::atCab;
  if (ext == ".zip") return TArchiverType::atZip;
  if (ext == ".arj") return TArchiverType::atArj;
  if (ext == ".rar") return TArchiverType::atRar;
  if (ext == ".7z") return TArchiverType::at7z;
  if (ext == ".gza" || ext == ".bza") return TArchiverType::atBga;
  if (ext == ".bz2") return TArchiverType::atBZ2;
  if (ext == ".tar") return TArchiverType::atTar;
  if (ext == ".z" || ext == ".gz" || ext == ".tgz" || ext == ".taz") return TArchiverType::atTgz;
  if (ext == ".exe") return TArchiverType::atAutoDetect;
  return TArchiverType::atNone;
}

TArchiverType TypeByContent(const std::string& path) {
  struct stat st {};
  const bool exists = ::stat(unlha32::NativePath(path).c_str(), &st) == 0;
  {
    TLha32 lha;
    try {
      if (lha.LoadDLL() && lha.Check(path, 4) && OpensAs(lha, path)) return TArchiverType::atLha;
    } catch (...) {
    }
  }
  if (TCab32 a; OpensAs(a, path)) return TArchiverType::atCab;
  if (TBga32 a; exists && OpensAs(a, path)) return TArchiverType::atBga;
  if (TZip32 a; exists && OpensAs(a, path)) return TArchiverType::atZip;
  if (TArj32 a; OpensAs(a, path)) return TArchiverType::atArj;
  if (TRar32 a; OpensAs(a, path)) return TArchiverType::atRar;
  if (TSevenZip32 a; exists && OpensAs(a, path)) return TArchiverType::at7z;
  TTar32 tar;
  const int t = tar.ArchiveType(path);
  if (t == 1) return TArchiverType::atTar;
  if (t >= 2 && t <= 5) return TArchiverType::atTgz;
  if (t == 6 || t == 7) return TArchiverType::atBZ2;
  return TArchiverType::atNone;
}

void TArchiveFile::SetFileName(const std::string& path) {
  file_name_ = path;
  TArchiverType t = TypeByName(path);
  if (t == TArchiverType::atAutoDetect) t = TypeByContent(path);
  SetArchiverType(t);
}

void TArchiveFile::SetArchiverType(TArchiverType type) {
  if (archiver_ && handle_ != nullptr) Close();
  type_ = type;
  archiver_ = MakeArchiver(type);
}

TArchiver& TArchiveFile::Archiver() {
  if (!archiver_) throw EArchiverError(Message(Msg::kUnknownFormat));
  return *archiver_;
}

bool TArchiveFile::Check(int m1, int m2) {
  TArchiver& a = Archiver();
  return a.Check(file_name_, type_ == TArchiverType::atZip ? m1 : m1 + m2);
}

bool TArchiveFile::Open(void* owner, std::uint32_t mode) {
  TArchiver& a = Archiver();
  if (handle_ != nullptr) Close();
  // The library gets the absolute path, as the find calls outlive any change of folder.
  std::string path = file_name_;
  if (!path.empty() && path[0] != '/' && path[0] != '\\') {
    char cwd[4096];
    if (::getcwd(cwd, sizeof cwd) != nullptr) path = textconv::Utf8ToCp932(cwd) + "/" + path;
  }
  handle_ = a.Open(owner, path, mode);
  return handle_ != nullptr;
}

int TArchiveFile::FindFirst(const std::string& wildcard, TIndividualInfo* info) {
  if (handle_ == nullptr) return unlha32::kErrorHandle;
  return Archiver().FindFirst(handle_, wildcard, info);
}

int TArchiveFile::FindNext(TIndividualInfo* info) {
  if (handle_ == nullptr) return unlha32::kErrorHandle;
  return Archiver().FindNext(handle_, info);
}

void TArchiveFile::Close() {
  if (handle_ == nullptr || !archiver_) return;
  void* h = handle_;
  handle_ = nullptr;
  archiver_->Close(h);
}

template <typename F>
int TArchiveFile::WithProgress(void* owner, F&& run) {
  if (!OnProgress) return run(owner);
  bool abort = false;
  OnProgress(*this, TArchiverState::asBegin, nullptr, abort);
  if (abort) return unlha32::kErrorUserCancel;
  // The library's notices come back to this component, whoever owns the command.
  void* window = this;
  Archiver().SetOwnerWindow(window, &TArchiveFile::Notice);
  int code;
  try {
    code = run(window);
  } catch (...) {
    Archiver().KillOwnerWindow(window);
    throw;
  }
  Archiver().KillOwnerWindow(window);
  OnProgress(*this, TArchiverState::asEnd, nullptr, abort);
  return code;
}

int TArchiveFile::Notice(void* owner, unsigned state, const UnlhaExtractingInfo* info) {
  auto& self = *static_cast<TArchiveFile*>(owner);
  if (!self.OnProgress) return 1;
  bool abort = false;
  self.OnProgress(self, ExtractState(state), info, abort);
  return abort ? 0 : 1;
}

int TArchiveFile::Extract(void* owner, const TArchiverOptions* options, const std::vector<std::string>& files,
                          const std::string& folder) {
  TArchiver& a = Archiver();
  const TArchiverOptions& o = options != nullptr ? *options : Options;
  output_.clear();
  return WithProgress(owner, [&](void* w) { return a.Extract(w, o, file_name_, files, folder, output_, output_size_); });
}

int TArchiveFile::Pack(void* owner, const TArchiverOptions* options, const std::vector<std::string>& files,
                       const std::string& base) {
  TArchiver& a = Archiver();
  const TArchiverOptions& o = options != nullptr ? *options : Options;
  output_.clear();
  return WithProgress(owner, [&](void* w) { return a.Pack(w, o, file_name_, files, base, output_, output_size_); });
}

}  // namespace sorabu::archive
