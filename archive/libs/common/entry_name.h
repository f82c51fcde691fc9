// Entry names as archives store them, read twice: as CP932 for the program (listing, entry
// record, selection) and as UTF-8 for the file written on disk.
//
// Stored bytes that form valid UTF-8 are UTF-8: names flagged as such (libzip refuses a flagged
// name that is not), Info-ZIP's Unicode path field (libzip puts it in place of the stored name),
// and the many tools that write UTF-8 without saying so. CP932 text almost never forms valid
// UTF-8. Other names are CP932, as Japanese Windows archivers store them. UTF-8 names are taken
// composed (NFC), as macOS's decomposed ones are not.
//
// A UTF-8 character CP932 cannot hold shows as "?" in the CP932 name, while the disk gets the real
// name. A byte that is neither shows as "%NN" (its hex value) in both names: "\xNN" would put a
// folder separator into a CP932 path, and the raw byte would glue itself to the next character.
#pragma once

#include <string>
#include <string_view>

namespace sorabu::arcplug {

struct EntryName {
  std::string cp932;   // valid CP932, "/" between folders, no trailing "/"
  std::string native;  // UTF-8, "/" between folders, no trailing "/"; same folders as cp932
  bool is_dir = false;        // the stored name ended in a separator
  bool undecodable = false;   // some bytes were shown as "%NN"
};

// "/" and a single-byte "\" separate folders.
EntryName DecodeEntryName(std::string_view stored);

// A UTF-8 name as CP932, one "?" per character CP932 cannot hold (also per byte of an ill-formed
// sequence). Kana followed by a combining (semi-)voiced mark, as macOS writes names, become the
// precomposed kana. Never yields a separator, a lone lead byte or 0x80, 0xA0, 0xFD..0xFF, which
// would change how the name splits into folders.
std::string Utf8NameToCp932(std::string_view utf8);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values above
// U+10FFFF).
bool IsUtf8(std::string_view bytes);

}  // namespace sorabu::arcplug
