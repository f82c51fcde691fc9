// ZIP read and written through libzip.
#pragma once

#include "archive/libs/common/plugin.h"

namespace sorabu::arcplug {

class ZipFormat final : public Format {
 public:
  int Scan(const std::string& native_path, bool with_data, const std::string& password,
           const Visitor& visit) const override;
  bool CanPack() const override { return true; }
  int Pack(const std::string& native_path, const std::vector<PackItem>& items, const PackOptions& options,
           std::string& output) const override;
};

// "Stored", "Deflate", … for a ZIP compression method number.
std::string ZipMethodName(int method);

}  // namespace sorabu::arcplug
