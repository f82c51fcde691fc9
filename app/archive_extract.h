// Extracting an archive into a folder, as the window's 書庫 commands and sorabu-cli run it:
// an extraction that would write far more than the archive holds is asked about first; a
// destination that does not exist is made with its parents (or a Japanese message says why it
// cannot be); an encrypted archive asks for its password until it is right or the user cancels;
// the library writes into a staging folder inside the destination, and only what the
// user agreed to moves into place (staging_merge.h). Every question and message goes through the
// dialog interface. Cancel, a refusal or a failing library leave the destination as it was.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "dialogs/dialogs.h"

namespace sorabu::app {

struct ExtractLimits {
  unsigned long long bytes = 1ULL << 30;  // more than this many bytes written ...
  unsigned long long ratio = 1000;        // ... and more than this many times the archive's size
};
bool WritesFarMore(unsigned long long written, unsigned long long archiveSize, const ExtractLimits& limits);

struct ExtractRequest {
  std::string caption;               // CP932, for the questions and messages
  std::string archiveCp932;          // the archive as the archive library takes it (listing)
  std::filesystem::path archive;     // the archive as the file system names it (its size)
  std::filesystem::path destination;
  ExtractLimits limits;
  // The library's extraction of everything into the (empty) staging folder with a password (empty:
  // none); its result code. archive::kPasswordCode asks the user for the password and runs again.
  std::function<int(const std::filesystem::path& staging, const std::string& password)> extract;
  std::string password;  // the one tried first (sorabu-cli --password)
  // True once the user asked to stop.
  std::function<bool()> cancelled;
};

enum class ExtractOutcome {
  Done,
  Cancelled,      // by a question's answer or by Cancel: nothing changed, nothing said
  Refused,        // nothing changed; a message said why
  LibraryFailed,  // the library's result was not 0: nothing changed; the caller reports it
  Partly,         // some items could not be moved into place; they were listed
};
struct ExtractResult {
  ExtractOutcome outcome = ExtractOutcome::Refused;
  int code = -1;  // the library's result once it ran
  bool wrongPassword = false;  // Cancelled when asked again after a wrong password
};

ExtractResult ExtractArchive(dialogs::TDialogs& dialogs, const ExtractRequest& request);

// "1,234,567" (the size question's figures).
std::string GroupedNumber(unsigned long long value);

}  // namespace sorabu::app
