// A stored command line taken apart into program and arguments, the way a shell would for the
// simple cases users write: blanks separate words, double quotes group blanks into one word and
// are removed, two double quotes inside quotes give one.
#pragma once

#include <string>
#include <vector>

namespace sorabu::custom {

// CP932 bytes in, words out; blanks and quotes are ASCII and never trail bytes, so lead/trail
// pairs pass through whole. An empty or all-blank line gives no words.
std::vector<std::string> SplitCommandLine(const std::string& line);

}  // namespace sorabu::custom
