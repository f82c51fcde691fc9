// The LHA plug-in's C interface (libunlha32.so): the entry points the program looks up by name,
// the entry record they fill, and the result codes they return. All strings are code page 932
// bytes, zero-terminated; paths inside them may use "\" or "/" as separators.
//
// Check modes (UnlhaCheckArchive), from cheapest to most thorough:
//   0   the archive's first header is found (at the start, or inside a self-extracting program
//       within its first MiB) and is valid, checksum included;
//   4   every header up to the end mark is valid and every entry's data lies inside the file;
//       also modes 1 and 2, and any mode with bit 4 (as 1 + 4 = 5 sent by the generic list);
//   16  as 4, and every entry decodes with a matching CRC-16; also mode 3.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

// Handle of an archive opened for find first / find next.
typedef void* HARC;

// The entry record, little-endian, 558 bytes. Sizes of 4 GiB and more: the two size fields hold
// the low 32 bits and the two words at offset 12 the high 32 bits (zero below 4 GiB, so a reader
// that ignores them sees the sizes it always saw).
#pragma pack(push, 1)
struct UnlhaIndividualInfo {
  std::uint32_t original_size;  //   0  low 32 bits
  std::uint32_t packed_size;    //   4  low 32 bits
  std::uint32_t crc;            //   8  CRC-16 in the low half
  std::uint32_t size_high[2];   //  12  high 32 bits of the original and the packed size
  std::uint16_t ratio;          //  20  packed / original in tenths of a percent
  std::uint16_t date;           //  22  MS-DOS date
  std::uint16_t time;           //  24  MS-DOS time
  char name[513];               //  26  "/" separates folders
  char padding[3];              // 539
  char attribute[8];            // 542  "rhsa" letters or "-", a "d" in the last place for folders
  char mode[8];                 // 550  method, "-lh5-"
};
#pragma pack(pop)
static_assert(sizeof(UnlhaIndividualInfo) == 558, "entry record layout");

inline void SetRecordSizes(UnlhaIndividualInfo* info, std::uint64_t original, std::uint64_t packed) {
  info->original_size = static_cast<std::uint32_t>(original);
  info->packed_size = static_cast<std::uint32_t>(packed);
  info->size_high[0] = static_cast<std::uint32_t>(original >> 32);
  info->size_high[1] = static_cast<std::uint32_t>(packed >> 32);
}
inline std::uint64_t RecordOriginalSize(const UnlhaIndividualInfo& info) {
  return (std::uint64_t{info.size_high[0]} << 32) | info.original_size;
}
inline std::uint64_t RecordPackedSize(const UnlhaIndividualInfo& info) {
  return (std::uint64_t{info.size_high[1]} << 32) | info.packed_size;
}

// Runs a command line ("x", "e", "l", "v", "t", "a", "u", "f", "d", "s" with switches); the text
// output goes into output (size bytes including the terminating zero). 0 on success, else a result code.
int Unlha(void* owner, const char* command_line, char* output, std::uint32_t size);
// 100 for version 1.00; never 0.
std::uint16_t UnlhaGetVersion();
// Non-zero when path is an LHA archive at the given check mode (above).
int UnlhaCheckArchive(const char* path, int mode);
// Null when the file cannot be read or is no LHA archive.
HARC UnlhaOpenArchive(void* owner, const char* path, std::uint32_t mode);
int UnlhaCloseArchive(HARC archive);
// 0: an entry was returned; -1: no (more) matching entries; otherwise a result code.
int UnlhaFindFirst(HARC archive, const char* wildcard, UnlhaIndividualInfo* info);
int UnlhaFindNext(HARC archive, UnlhaIndividualInfo* info);
// Extracts the first entry named by the command line ("ARCHIVE NAME", switches ignored) into
// buffer, at most size bytes. *time (Unix time), *attribute (MS-DOS attributes) and *written are
// filled when given. 0, or a result code; an entry larger than size gives 32797 with nothing
// written, -1 when no entry has that name.
int UnlhaExtractMem(void* owner, const char* command_line, unsigned char* buffer, std::uint32_t size,
                    std::int64_t* time, std::uint16_t* attribute, std::uint32_t* written);
// The extraction's notices to the program: a callback given with the owner before a command
// (UnlhaSetOwnerWindowEx, withdrawn by UnlhaKillOwnerWindowEx) is called by the commands that
// owner runs when an entry begins, as its data is written (after each further 256 KiB, or each
// piece a decoder hands out when that is larger, at most 1 MiB), and when it ends. A zero return stops the command with 32800 and removes the entry being written.
#pragma pack(push, 1)
struct UnlhaExtractingInfo {
  std::uint64_t file_size;   // the entry's original size
  std::uint64_t write_size;  // bytes of it written so far
  char source[513];          // the entry's name, "/" between folders
  char dest[513];            // the file written, as the command names it
};
#pragma pack(pop)
enum : unsigned { kArcExtractBegin = 0, kArcExtractInProcess = 1, kArcExtractEnd = 2 };
typedef int (*UnlhaArchiverProc)(void* owner, unsigned state, const UnlhaExtractingInfo* info);
// Non-zero = done. A null callback withdraws the owner's.
int UnlhaSetOwnerWindowEx(void* owner, void* callback);
int UnlhaKillOwnerWindowEx(void* owner);

}  // extern "C"

// Result codes (the archiver libraries' common numbering).
namespace sorabu::unlha32 {
constexpr int kErrorDiskSpace = 32773;       // no room for an entry on the destination's disk
constexpr int kErrorPassword = 32778;        // an encrypted entry without its password, or a wrong one
constexpr int kErrorChecksum = 32780;        // data CRC mismatch
constexpr int kErrorFileOpen = 32781;
constexpr int kErrorAlreadyExists = 32784;
constexpr int kErrorMakeDirectory = 32786;
constexpr int kErrorWrite = 32787;
constexpr int kErrorHuffmanCode = 32788;
constexpr int kErrorHeaderChecksum = 32790;
constexpr int kErrorHeaderBroken = 32791;
constexpr int kErrorArchiveOpen = 32792;
constexpr int kErrorNoArchiveName = 32793;
constexpr int kErrorRead = 32794;
constexpr int kErrorNotArchive = 32795;
constexpr int kErrorCommand = 32796;
constexpr int kErrorMemory = 32797;
constexpr int kErrorUserCancel = 32800;
constexpr int kErrorHandle = 32801;
constexpr int kErrorSequence = 32802;
constexpr int kErrorNoFileName = 32811;
constexpr int kErrorDataMissing = 32813;
}  // namespace sorabu::unlha32
