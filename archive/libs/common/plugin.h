// The shared body of the ZIP, TAR, CAB and RAR plug-ins: a format reads entries one after another
// (with their data on request) and may write a new archive; everything around that — the command
// line, the listing, safe extraction, the find-first/next handles and the entry record — is common.
//
// Every format is read as a sequence so that libarchive's streaming readers and libzip's indexed
// one fit the same shape; extraction therefore costs one pass over the archive.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/libs/unlha32/owner_progress.h"
#include "archive/libs/unlha32/unlha32.h"

namespace sorabu::arcplug {

// One entry as the plug-ins report it. `name` is CP932 with "/" between folders.
struct ArcEntry {
  std::string name;
  // The UTF-8 name written on disk, "/" between folders, with the folders of `name`; empty:
  // `name` converted. It differs where `name` shows "?" for what CP932 cannot hold.
  std::string native_name;
  std::uint64_t size = 0;
  bool size_known = true;  // false: the format does not say (a single compressed file)
  std::uint64_t packed = 0;
  std::uint32_t crc = 0;
  std::string method;
  std::int64_t mtime = 0;  // Unix time
  std::uint32_t mode = 0644;
  std::uint8_t dos_attribute = 0;
  bool is_dir = false;
  bool is_link = false;  // symbolic or hard link: listed, never created
  bool is_special = false;  // device, FIFO or socket: listed, never created
};

// The data of the entry being visited, read in pieces.
class EntryData {
 public:
  virtual ~EntryData() = default;
  // Bytes read (0 at the end), or -1 with the result code in *code.
  virtual long Read(char* buffer, std::size_t size, int* code) = 0;
};

// Called per entry; data is null when the scan was asked for headers only. Returning false stops.
// An encrypted entry whose data cannot be read without a password, or with the one given, fails
// its reads with kErrorPassword.
using Visitor = std::function<bool(const ArcEntry&, EntryData*)>;

struct PackItem {
  std::string native_path;  // file to read
  std::string stored_name;  // UTF-8 name inside the archive, "/" separated
  bool is_dir = false;
};

struct PackOptions {
  int level = -1;         // 0..9, -1 default
  char compression = 0;   // 'z' gzip, 'B' bzip2 (tar only)
  std::string password;   // ZIP: non-empty encrypts the new entries (AES-256)
};

class Format {
 public:
  virtual ~Format() = default;
  // Result code: 0 after the whole archive was visited (or the visitor stopped), else the error.
  // password: for encrypted entries (ZIP's ZipCrypto and AES); empty when none was given.
  virtual int Scan(const std::string& native_path, bool with_data, const std::string& password,
                   const Visitor& visit) const = 0;
  // Writes (or, for ZIP, updates) the archive. 0, or a result code; one output line per item.
  virtual int Pack(const std::string& native_path, const std::vector<PackItem>& items,
                   const PackOptions& options, std::string& output) const;
  virtual bool CanPack() const { return false; }
  // True when the file is an archive of this format (its first header reads).
  virtual bool Recognises(const std::string& native_path) const;
};

// The command line's meaning, common to the formats.
struct Command {
  char op = 0;  // 'l' list, 'x' extract, 'e' extract without folders, 't' test, 'a' pack
  std::string archive;  // CP932
  std::string folder;   // CP932 destination or base folder; empty for the current one
  std::vector<std::string> names;
  bool overwrite = false;
  bool junk_paths = false;
  bool recurse = false;
  bool no_dir_entries = false;
  std::string password;  // "-P PASSWORD"
  PackOptions pack;
};

// How one format spells its commands.
struct Syntax {
  std::vector<std::pair<std::string, char>> words;  // command words and their ops
  char default_op = 0;      // op when the first item is no command word (0: command error)
  bool tar_style = false;   // "-f ARCHIVE", "-o FOLDER"; overwriting is the default
  bool bracket_escape = false;  // ZIP: "[[]" in a name stands for a literal "["
};

// 0, kErrorCommand, kErrorNoArchiveName or 32810 (response file).
int ParseCommand(std::string_view line, const Syntax& syntax, Command& out);

// Runs a command line against a format; the output text goes to `output` (CR LF lines).
int RunCommand(const Format& format, const Syntax& syntax, std::string_view line, std::string& output);

// kErrorArchiveOpen when the path names something other than a regular file (a FIFO without a
// writer would block the reader forever, a device never ends), else 0. Asked before any open.
int RefuseNonRegular(const std::string& native_path);

// The entry record for an entry.
void FillRecord(const ArcEntry& e, UnlhaIndividualInfo* info);

// MS-DOS date (high half) and time (low half) of a Unix time, local time.
std::uint32_t DosDateTime(std::int64_t unix_time);

// The C entry points' bodies; the per-format modules export them under their prefixes.
int ApiCommand(const Format& f, const Syntax& s, const char* line, char* output, std::uint32_t size);
int ApiCheck(const Format& f, const char* path);
void* ApiOpen(const Format& f, const char* path);
int ApiClose(void* handle);
int ApiFindFirst(void* handle, const char* wildcard, UnlhaIndividualInfo* info);
int ApiFindNext(void* handle, UnlhaIndividualInfo* info);
int ApiExtractMem(const Format& f, const char* line, unsigned char* buffer, std::uint32_t size,
                  std::int64_t* time, std::uint16_t* attribute, std::uint32_t* written);

}  // namespace sorabu::arcplug

#define SORABU_EXPORT extern "C" __attribute__((visibility("default")))

// The usual entry points of one plug-in: P, P##OpenArchive, … over a Format and a Syntax.
#define SORABU_PLUGIN_ENTRY_POINTS(P, FORMAT, SYNTAX)                                                  \
  SORABU_EXPORT int P(void* owner, const char* line, char* out, std::uint32_t size) {                 \
    const sorabu::unlha32::CommandOwner running(owner);                                                \
    return sorabu::arcplug::ApiCommand(FORMAT, SYNTAX, line, out, size);                               \
  }                                                                                                    \
  SORABU_EXPORT std::uint16_t P##GetVersion() { return 100; }                                          \
  SORABU_EXPORT int P##CheckArchive(const char* path, int) { return sorabu::arcplug::ApiCheck(FORMAT, path); } \
  SORABU_EXPORT void* P##OpenArchive(void*, const char* path, std::uint32_t) {                         \
    return sorabu::arcplug::ApiOpen(FORMAT, path);                                                     \
  }                                                                                                    \
  SORABU_EXPORT int P##CloseArchive(void* h) { return sorabu::arcplug::ApiClose(h); }                  \
  SORABU_EXPORT int P##FindFirst(void* h, const char* w, UnlhaIndividualInfo* i) {                     \
    return sorabu::arcplug::ApiFindFirst(h, w, i);                                                     \
  }                                                                                                    \
  SORABU_EXPORT int P##FindNext(void* h, UnlhaIndividualInfo* i) { return sorabu::arcplug::ApiFindNext(h, i); } \
  SORABU_EXPORT int P##ExtractMem(void*, const char* line, unsigned char* b, std::uint32_t n, std::int64_t* t, \
                                  std::uint16_t* a, std::uint32_t* w) {                                \
    return sorabu::arcplug::ApiExtractMem(FORMAT, line, b, n, t, a, w);                                \
  }                                                                                                    \
  SORABU_EXPORT int P##SetOwnerWindowEx(void* owner, void* proc) {                                    \
    sorabu::unlha32::SetOwnerProc(owner, reinterpret_cast<UnlhaArchiverProc>(proc));                   \
    return 1;                                                                                          \
  }                                                                                                    \
  SORABU_EXPORT int P##KillOwnerWindowEx(void* owner) {                                                \
    sorabu::unlha32::KillOwnerProc(owner);                                                             \
    return 1;                                                                                          \
  }
