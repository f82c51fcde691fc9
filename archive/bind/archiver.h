// TArchiver and the per-format wrappers. A wrapper loads its library on first use, looks each
// entry point up once and caches it, and raises EArchiverError with the base-class message for
// an operation its format lacks, the format's message for a missing library and the
// missing-entry message for a missing entry point.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "archive/bind/cmd_opt.h"
#include "archive/bind/library.h"
#include "archive/bind/messages.h"

namespace sorabu::archive {

class TArchiver {
 public:
  virtual ~TArchiver() = default;

  // True when the library (for ZIP: at least one of its libraries) is loaded.
  virtual bool LoadDLL();
  virtual void FreeDLL();
  virtual void* Open(void* owner, const std::string& path, std::uint32_t mode);
  virtual int FindFirst(void* handle, const std::string& wildcard, TIndividualInfo* info);
  virtual int FindNext(void* handle, TIndividualInfo* info);
  virtual int Close(void* handle);
  virtual int Extract(void* owner, const TArchiverOptions& o, const std::string& archive,
                      const std::vector<std::string>& files, const std::string& folder, std::string& output,
                      std::size_t output_size);
  virtual int Pack(void* owner, const TArchiverOptions& o, const std::string& archive,
                   const std::vector<std::string>& files, const std::string& base, std::string& output,
                   std::size_t output_size);
  virtual int Remove(void* owner, const TArchiverOptions& o, const std::string& archive,
                     const std::vector<std::string>& files, std::string& output, std::size_t output_size);
  virtual int Update(void* owner, const TArchiverOptions& o, const std::string& archive,
                     const std::vector<std::string>& files, std::string& output, std::size_t output_size);
  virtual int MakeSfx(void* owner, const TArchiverOptions& o, const std::string& archive, std::string& output,
                      std::size_t output_size);
  virtual int ExtractMem(void* owner, const std::string& command_line, std::string& data, std::size_t size);
  virtual bool Check(const std::string& path, int mode);
  // proc hears of the owner's extractions (null: nothing is reported).
  virtual bool SetOwnerWindow(void* owner, UnlhaArchiverProc proc);
  virtual bool KillOwnerWindow(void* owner);

  TArchiverType type() const { return type_; }

 protected:
  // Library file name (e.g. "UNLHA32.DLL"), entry prefix, missing-library message.
  TArchiver(TArchiverType type, std::string dll, std::string prefix, Msg missing);

  void* Library();                              // loads or raises the missing-library message
  void* Entry(const std::string& name);         // cached; raises the missing-entry message
  int RunCommand(void* owner, TCmdOperation op, const TArchiverOptions& o, const std::string& archive,
                 const std::vector<std::string>& files, const std::string& folder, std::string& output,
                 std::size_t output_size);
  static int CallCommand(CommandFn fn, void* owner, const std::string& line, std::string& output, std::size_t size);

  TArchiverType type_;
  std::string dll_;
  std::string prefix_;
  Msg missing_;
  void* library_ = nullptr;
  std::map<std::string, void*> entries_;
};

class TLha32 : public TArchiver {
 public:
  TLha32() : TArchiver(TArchiverType::atLha, "UNLHA32.DLL", "Unlha", Msg::kMissingLha) {}
  int Pack(void*, const TArchiverOptions&, const std::string&, const std::vector<std::string>&, const std::string&,
           std::string&, std::size_t) override;
  int Remove(void*, const TArchiverOptions&, const std::string&, const std::vector<std::string>&, std::string&,
             std::size_t) override;
  int Update(void*, const TArchiverOptions&, const std::string&, const std::vector<std::string>&, std::string&,
             std::size_t) override;
  int MakeSfx(void*, const TArchiverOptions&, const std::string&, std::string&, std::size_t) override;
};

class TCab32 : public TArchiver {
 public:
  TCab32() : TArchiver(TArchiverType::atCab, "CAB32.DLL", "Cab", Msg::kMissingCab) {}
  int Pack(void*, const TArchiverOptions&, const std::string&, const std::vector<std::string>&, const std::string&,
           std::string&, std::size_t) override;
};

class TArj32 : public TArchiver {
 public:
  TArj32() : TArchiver(TArchiverType::atArj, "UNARJ32J.DLL", "Unarj", Msg::kMissingArj) {}
};

// TAR and its compressed variants share the library; the type picks the "-z" / "-B" switch.
class TTar32 : public TArchiver {
 public:
  explicit TTar32(TArchiverType type = TArchiverType::atTar)
      : TArchiver(type, "tar32.dll", "Tar", Msg::kMissingTar) {}
  int Pack(void*, const TArchiverOptions&, const std::string&, const std::vector<std::string>&, const std::string&,
           std::string&, std::size_t) override;
  // 1 TAR, 2..5 compressed TAR, 6 or 7 BZ2, 0 otherwise (also without the library).
  int ArchiveType(const std::string& path);
};

class TRar32 : public TArchiver {
 public:
  TRar32() : TArchiver(TArchiverType::atRar, "UNRAR32.DLL", "Unrar", Msg::kMissingRar) {}
};

// 7z, read only.
class TSevenZip32 : public TArchiver {
 public:
  TSevenZip32() : TArchiver(TArchiverType::at7z, "7-ZIP32.DLL", "SevenZip", Msg::kMissing7z) {}
};

class TBga32 : public TArchiver {
 public:
  TBga32() : TArchiver(TArchiverType::atBga, "BGA32.DLL", "Bga", Msg::kMissingBga) {}
  int Pack(void*, const TArchiverOptions&, const std::string&, const std::vector<std::string>&, const std::string&,
           std::string&, std::size_t) override;
};

// ZIP: unpacking through UNZIP32.DLL (else LMZIP32.DLL), packing through ZIP32J.DLL (else
// LMZIP32.DLL, whose entry names have a lower-case third letter).
class TZip32 : public TArchiver {
 public:
  TZip32() : TArchiver(TArchiverType::atZip, "UNZIP32.DLL", "UnZip", Msg::kMissingZip) {}
  bool LoadDLL() override;
  void* Open(void* owner, const std::string& path, std::uint32_t mode) override;
  int FindFirst(void* handle, const std::string& wildcard, TIndividualInfo* info) override;
  int FindNext(void* handle, TIndividualInfo* info) override;
  int Close(void* handle) override;
  int Extract(void*, const TArchiverOptions&, const std::string&, const std::vector<std::string>&,
              const std::string&, std::string&, std::size_t) override;
  int Pack(void*, const TArchiverOptions&, const std::string&, const std::vector<std::string>&, const std::string&,
           std::string&, std::size_t) override;
  bool Check(const std::string& path, int mode) override;
  bool SetOwnerWindow(void* owner, UnlhaArchiverProc proc) override;
  bool KillOwnerWindow(void* owner) override;

 private:
  void LoadAll();
  void* UnzipEntry(const std::string& name);  // from UNZIP32.DLL or LMZIP32.DLL
  void* unzip_ = nullptr;
  void* zip_ = nullptr;
  void* lmzip_ = nullptr;
  bool tried_ = false;
};

// The wrapper of a type; null for atNone, atYz1 and atAutoDetect.
std::unique_ptr<TArchiver> MakeArchiver(TArchiverType type);

}  // namespace sorabu::archive
