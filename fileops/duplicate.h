// A copy of a text file under another name in which every line ends in CR LF.
#pragma once

#include <string>

namespace sorabu::fileops {

// Reads source as lines (ended by CR LF, a lone CR or a lone LF; the last line also when it has
// no end) and writes each with CR LF to target. The copy is written under a temporary name beside
// target and renamed when complete; without replace an existing target is never touched. Other
// bytes pass unchanged. False with the system's reason in error.
bool DuplicateWithCrLf(const std::string& source, const std::string& target, bool replace, std::string& error);

}  // namespace sorabu::fileops
