// The wrappers share one body: a command is a line from TCmdOpt passed to the format's command
// entry with an output buffer of the caller's size; find calls go straight to the entry points.
// Entry points are looked up on first use and cached per wrapper.
#include "archive/bind/archiver.h"

#include <cstdio>
#include <vector>

#include "archive/libs/unlha32/command_line.h"

namespace sorabu::archive {

TArchiver::TArchiver(TArchiverType type, std::string dll, std::string prefix, Msg missing)
    : type_(type), dll_(std::move(dll)), prefix_(std::move(prefix)), missing_(missing) {}

bool TArchiver::LoadDLL() {
  if (library_ == nullptr) library_ = LoadLibrary(dll_);
  return library_ != nullptr;
}

void TArchiver::FreeDLL() {
  library_ = nullptr;
  entries_.clear();
}

void* TArchiver::Library() {
  if (!LoadDLL()) throw EArchiverError(Message(missing_));
  return library_;
}

void* TArchiver::Entry(const std::string& name) {
  if (const auto it = entries_.find(name); it != entries_.end()) return it->second;
  void* fn = LibraryEntry(Library(), name.c_str());
  if (fn == nullptr) throw EArchiverError(MissingEntryMessage(dll_, name));
  entries_[name] = fn;
  return fn;
}

int TArchiver::CallCommand(CommandFn fn, void* owner, const std::string& line, std::string& output, std::size_t size) {
  std::vector<char> buffer(size + 1, '\0');
  const int code = fn(owner, line.c_str(), buffer.data(), static_cast<std::uint32_t>(size));
  output.assign(buffer.data());
  return code;
}

int TArchiver::RunCommand(void* owner, TCmdOperation op, const TArchiverOptions& o, const std::string& archive,
                          const std::vector<std::string>& files, const std::string& folder, std::string& output,
                          std::size_t output_size) {
  auto fn = reinterpret_cast<CommandFn>(Entry(prefix_));
  TCmdRequest r{type_, op, owner != nullptr, false, archive, folder, files};
  return CallCommand(fn, owner, TCmdOpt::Build(r, o), output, output_size);
}

void* TArchiver::Open(void* owner, const std::string& path, std::uint32_t mode) {
  return reinterpret_cast<OpenFn>(Entry(prefix_ + "OpenArchive"))(owner, path.c_str(), mode);
}
int TArchiver::FindFirst(void* handle, const std::string& wildcard, TIndividualInfo* info) {
  return reinterpret_cast<FindFirstFn>(Entry(prefix_ + "FindFirst"))(handle, wildcard.c_str(), info);
}
int TArchiver::FindNext(void* handle, TIndividualInfo* info) {
  return reinterpret_cast<FindNextFn>(Entry(prefix_ + "FindNext"))(handle, info);
}
int TArchiver::Close(void* handle) { return reinterpret_cast<CloseFn>(Entry(prefix_ + "CloseArchive"))(handle); }

int TArchiver::Extract(void* owner, const TArchiverOptions& o, const std::string& archive,
                       const std::vector<std::string>& files, const std::string& folder, std::string& output,
                       std::size_t output_size) {
  return RunCommand(owner, TCmdOperation::kExtract, o, archive, files, folder, output, output_size);
}

int TArchiver::Pack(void*, const TArchiverOptions&, const std::string&, const std::vector<std::string>&,
                    const std::string&, std::string&, std::size_t) {
  throw EArchiverError(Message(Msg::kNoPack));
}
int TArchiver::Remove(void*, const TArchiverOptions&, const std::string&, const std::vector<std::string>&,
                      std::string&, std::size_t) {
  throw EArchiverError(Message(Msg::kNoRemove));
}
int TArchiver::Update(void*, const TArchiverOptions&, const std::string&, const std::vector<std::string>&,
                      std::string&, std::size_t) {
  throw EArchiverError(Message(Msg::kNoUpdate));
}
int TArchiver::MakeSfx(void*, const TArchiverOptions&, const std::string&, std::string&, std::size_t) {
  throw EArchiverError(Message(Msg::kNoSfx));
}
int TArchiver::ExtractMem(void*, const std::string&, std::string&, std::size_t) {
  throw EArchiverError(Message(Msg::kNoExtractMem));
}

bool TArchiver::Check(const std::string& path, int mode) {
  return reinterpret_cast<CheckFn>(Entry(prefix_ + "CheckArchive"))(path.c_str(), mode) != 0;
}

bool TArchiver::SetOwnerWindow(void* owner, UnlhaArchiverProc proc) {
  return reinterpret_cast<SetOwnerFn>(Entry(prefix_ + "SetOwnerWindowEx"))(owner, reinterpret_cast<void*>(proc)) != 0;
}
bool TArchiver::KillOwnerWindow(void* owner) {
  return reinterpret_cast<KillOwnerFn>(Entry(prefix_ + "KillOwnerWindowEx"))(owner) != 0;
}

int TLha32::Pack(void* owner, const TArchiverOptions& o, const std::string& archive,
                 const std::vector<std::string>& files, const std::string& base, std::string& output,
                 std::size_t size) {
  return RunCommand(owner, TCmdOperation::kPack, o, archive, files, base, output, size);
}
int TLha32::Remove(void* owner, const TArchiverOptions& o, const std::string& archive,
                   const std::vector<std::string>& files, std::string& output, std::size_t size) {
  return RunCommand(owner, TCmdOperation::kRemove, o, archive, files, std::string(), output, size);
}
int TLha32::Update(void* owner, const TArchiverOptions& o, const std::string& archive,
                   const std::vector<std::string>& files, std::string& output, std::size_t size) {
  return RunCommand(owner, TCmdOperation::kUpdate, o, archive, files, std::string(), output, size);
}
int TLha32::MakeSfx(void* owner, const TArchiverOptions& o, const std::string& archive, std::string& output,
                    std::size_t size) {
  return RunCommand(owner, TCmdOperation::kSelfExtract, o, archive, {}, std::string(), output, size);
}
int TCab32::Pack(void* owner, const TArchiverOptions& o, const std::string& archive,
                 const std::vector<std::string>& files, const std::string& base, std::string& output,
                 std::size_t size) {
  return RunCommand(owner, TCmdOperation::kPack, o, archive, files, base, output, size);
}
int TTar32::Pack(void* owner, const TArchiverOptions& o, const std::string& archive,
                 const std::vector<std::string>& files, const std::string& base, std::string& output,
                 std::size_t size) {
  return RunCommand(owner, TCmdOperation::kPack, o, archive, files, base, output, size);
}
int TBga32::Pack(void* owner, const TArchiverOptions& o, const std::string& archive,
                 const std::vector<std::string>& files, const std::string& base, std::string& output,
                 std::size_t size) {
  return RunCommand(owner, TCmdOperation::kPack, o, archive, files, base, output, size);
}

int TTar32::ArchiveType(const std::string& path) {
  if (!LoadDLL()) return 0;
  auto fn = reinterpret_cast<ArchiveTypeFn>(LibraryEntry(library_, "TarGetArchiveType"));
  return fn == nullptr ? 0 : fn(path.c_str());
}

void TZip32::LoadAll() {
  if (tried_) return;
  tried_ = true;
  unzip_ = LoadLibrary("UNZIP32.DLL");
  zip_ = LoadLibrary("ZIP32J.DLL");
  lmzip_ = LoadLibrary("LMZIP32.DLL");
}

bool TZip32::LoadDLL() {
  LoadAll();
  return unzip_ != nullptr || zip_ != nullptr || lmzip_ != nullptr;
}

void* TZip32::UnzipEntry(const std::string& name) {
  if (!LoadDLL()) throw EArchiverError(Message(Msg::kMissingZip));
  if (const auto it = entries_.find(name); it != entries_.end()) return it->second;
  void* fn = nullptr;
  if (unzip_ != nullptr) {
    fn = LibraryEntry(unzip_, name.c_str());
  } else if (lmzip_ != nullptr) {
    std::string lm = name;
    if (lm.size() > 2 && lm[2] == 'Z') lm[2] = 'z';
    fn = LibraryEntry(lmzip_, lm.c_str());
  } else {
    throw EArchiverError(Message(Msg::kZipNoUnpacker));
  }
  if (fn == nullptr) throw EArchiverError(MissingEntryMessage("", name));
  entries_[name] = fn;
  return fn;
}

void* TZip32::Open(void* owner, const std::string& path, std::uint32_t mode) {
  return reinterpret_cast<OpenFn>(UnzipEntry("UnZipOpenArchive"))(owner, path.c_str(), mode);
}
int TZip32::FindFirst(void* handle, const std::string& wildcard, TIndividualInfo* info) {
  return reinterpret_cast<FindFirstFn>(UnzipEntry("UnZipFindFirst"))(handle, wildcard.c_str(), info);
}
int TZip32::FindNext(void* handle, TIndividualInfo* info) {
  return reinterpret_cast<FindNextFn>(UnzipEntry("UnZipFindNext"))(handle, info);
}
int TZip32::Close(void* handle) { return reinterpret_cast<CloseFn>(UnzipEntry("UnZipCloseArchive"))(handle); }
bool TZip32::Check(const std::string& path, int mode) {
  return reinterpret_cast<CheckFn>(UnzipEntry("UnZipCheckArchive"))(path.c_str(), mode) != 0;
}

bool TZip32::SetOwnerWindow(void* owner, UnlhaArchiverProc proc) {
  return reinterpret_cast<SetOwnerFn>(UnzipEntry("UnZipSetOwnerWindowEx"))(owner, reinterpret_cast<void*>(proc)) != 0;
}
bool TZip32::KillOwnerWindow(void* owner) {
  return reinterpret_cast<KillOwnerFn>(UnzipEntry("UnZipKillOwnerWindowEx"))(owner) != 0;
}

int TZip32::Extract(void* owner, const TArchiverOptions& o, const std::string& archive,
                    const std::vector<std::string>& files, const std::string& folder, std::string& output,
                    std::size_t size) {
  auto fn = reinterpret_cast<CommandFn>(UnzipEntry("UnZip"));
  TCmdRequest r{type_, TCmdOperation::kExtract, owner != nullptr, unzip_ == nullptr, archive, folder, files};
  return CallCommand(fn, owner, TCmdOpt::Build(r, o), output, size);
}

int TZip32::Pack(void* owner, const TArchiverOptions& o, const std::string& archive,
                 const std::vector<std::string>& files, const std::string& base, std::string& output,
                 std::size_t size) {
  if (!LoadDLL()) throw EArchiverError(Message(Msg::kMissingZip));
  const bool lmzip_only = zip_ == nullptr;
  void* lib = lmzip_only ? lmzip_ : zip_;
  if (lib == nullptr) throw EArchiverError(Message(Msg::kZipNoPacker));
  auto fn = reinterpret_cast<CommandFn>(LibraryEntry(lib, "Zip"));
  if (fn == nullptr) throw EArchiverError(MissingEntryMessage("", "Zip"));
  // LMZIP32.DLL's "-ru" adds to an archive; the old one is removed so the result holds only these.
  if (lmzip_only) std::remove(unlha32::NativePath(archive).c_str());
  TCmdRequest r{type_, TCmdOperation::kPack, owner != nullptr, lmzip_only, archive, base, files};
  return CallCommand(fn, owner, TCmdOpt::Build(r, o), output, size);
}

std::unique_ptr<TArchiver> MakeArchiver(TArchiverType type) {
  switch (type) {
    case TArchiverType::atLha: return std::make_unique<TLha32>();
    case TArchiverType::atZip: return std::make_unique<TZip32>();
    case TArchiverType::atCab: return std::make_unique<TCab32>();
    case TArchiverType::atArj: return std::make_unique<TArj32>();
    case TArchiverType::atTar:
    case TArchiverType::atTgz:
    case TArchiverType::atBZ2: return std::make_unique<TTar32>(type);
    case TArchiverType::atRar: return std::make_unique<TRar32>();
    case TArchiverType::atBga: return std::make_unique<TBga32>();
    case TArchiverType::at7z: return std::make_unique<TSevenZip32>();
    default: return nullptr;
  }
}

}  // namespace sorabu::archive
