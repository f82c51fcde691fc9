// Moving what an extraction wrote into its staging folder over to the destination, without ever
// replacing a file the user did not agree to: every name already taken is asked about first
// (replace, skip, save under a free name, or cancel; "for all" answers the rest), and only when
// all answers are in does anything move, so Cancel leaves the destination as it was. Folders of
// one name merge, their files asked about one by one.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/dialogs.h"

namespace sorabu::app {

enum class MergeOutcome { Done, Cancelled, Partly };

// problems: CP932 lines "path : reason" for items that could not be moved (Partly). Whatever was
// not moved stays in staging.
MergeOutcome MergeStaging(const std::filesystem::path& staging, const std::filesystem::path& destination,
                          dialogs::TDialogs& dialogs, std::vector<std::string>& problems);

}  // namespace sorabu::app
