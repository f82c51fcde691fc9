// Archive formats read (and for TAR written) through libarchive.
#pragma once

#include "archive/libs/common/plugin.h"

namespace sorabu::arcplug {

enum class LibarchiveKind { kTar, kCab, kRar, k7z };

class LibarchiveFormat final : public Format {
 public:
  explicit LibarchiveFormat(LibarchiveKind kind) : kind_(kind) {}
  int Scan(const std::string& native_path, bool with_data, const std::string& password,
           const Visitor& visit) const override;
  bool CanPack() const override { return kind_ == LibarchiveKind::kTar; }
  int Pack(const std::string& native_path, const std::vector<PackItem>& items, const PackOptions& options,
           std::string& output) const override;

 private:
  LibarchiveKind kind_;
};

// 1 tar, 2 gzip tar, 3 compress (.Z) tar, 4 gzip of one file, 5 compress of one file,
// 6 bzip2 tar, 7 bzip2 of one file; 0 for anything else.
int TarArchiveType(const std::string& native_path);

}  // namespace sorabu::arcplug
