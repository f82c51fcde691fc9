// Extraction and creation that never leave a half-written file under a final name: an archive is
// extracted into a hidden folder inside the destination and its contents moved into place only
// when the library succeeded (and the user did not cancel); an archive is written under a
// temporary name beside its final one and renamed over it at the end.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace sorabu::app {

// A new empty hidden folder inside destination; nullopt when it cannot be made, with error (CP932)
// saying why. (Moving its contents into place: staging_merge.h.)
std::optional<std::filesystem::path> MakeStagingFolder(const std::filesystem::path& destination, std::string& error);
// Removes staging and everything in it.
void DropStaging(const std::filesystem::path& staging);
// A temporary name beside target with target's extension (the archive's format follows it).
std::filesystem::path TemporaryBeside(const std::filesystem::path& target);

}  // namespace sorabu::app
