// The LHA archiver library's version, 0 when the library is not beside the program.
#pragma once

#include <QString>
#include <cstdint>

namespace sorabu::app {

std::uint16_t QueryLhaVersion(const QString& libraryFolder);

}  // namespace sorabu::app
