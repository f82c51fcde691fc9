// The format-independent archive commands without the window: the listing text, the extract
// and the create. Texts are CP932 with CR LF line ends; the window puts them into the text pane.
#pragma once

#include <string>
#include <vector>

#include "archive/bind/archive_file.h"
#include "archive/bind/listing.h"

namespace sorabu::archive {

// A name whose extension says nothing (".lha", ".tbz2", a renamed archive) is recognised by the
// archive's content, as ".exe" is.
//
// The whole listing of an archive; empty when the format's check fails. May raise
// EArchiverError (unknown format, missing library).
std::string GenericListText(const std::string& cp932_path, void* owner = nullptr);

// True when the upper-cased extension is one the extract command accepts.
bool ExtractableName(const std::string& cp932_path);
// True when the name's extension or, failing that, the content gives a format.
bool Recognised(const std::string& cp932_path);
// The destination passed to the library: the folder with "\" added; empty when it is the
// current folder.
std::string ExtractDestination(const std::string& folder, const std::string& current_folder);
// The sum of the entries' original sizes as the listing gives them: what an extraction will
// write, known before it starts. -1 when the archive cannot be listed. May raise EArchiverError.
long long ListedOriginalTotal(const std::string& cp932_path);
// Extracts everything (keeping folders) into destination; text = the result code's message
// (an empty line when it has none) followed by the library's output. Returns the code.
// A password (CP932 bytes) opens encrypted ZIP entries; without the right one the code is
// kPasswordCode and nothing of those entries is written.
// progress hears of each entry as it is written; its false stops the library within the entry,
// which is removed, and the code is 32800.
int GenericExtract(const std::string& cp932_path, const std::string& destination, std::string& text,
                   void* owner = nullptr, const std::string& password = {}, const ExtractProgress& progress = {});
// Creates the archive (format by extension) from files relative to the current folder; an
// existing file of that name is replaced (and kept when the create fails). text = output +
// "Result code = N".
// A password encrypts a new ZIP's entries (AES-256); other formats have none and refuse it.
int GenericCreate(const std::string& cp932_path, const std::vector<std::string>& files, std::string& text,
                  void* owner = nullptr, const std::string& password = {});
inline constexpr int kPasswordCode = 32778;

}  // namespace sorabu::archive
