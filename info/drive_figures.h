// The figures and texts of the drive information dialog, from the file system that holds a folder.
#pragma once

#include <optional>
#include <string>

namespace sorabu::info {

// A cluster is the file system's fragment (its unit of allocation); a sector is 512 bytes when
// the fragment is a multiple of that, else the fragment itself.
struct DriveFigures {
  unsigned long long sectorsPerCluster = 0, bytesPerSector = 0, totalClusters = 0, freeClusters = 0;
  unsigned long long totalBytes = 0, freeBytes = 0, usedBytes = 0;
};

// The raw statistics of the file system; nothing when they cannot be read or describe an empty
// volume (no sectors, no bytes per sector or no clusters). Free clusters are those available to
// the caller; none counts as one.
struct VolumeStats {
  unsigned long long fragmentSize = 0, blocks = 0, available = 0;
};
std::optional<DriveFigures> FiguresFromStats(const VolumeStats& stats);
std::optional<DriveFigures> QueryDriveFigures(const std::string& folder);

// "1,234,567": digits grouped by threes with separator.
std::string GroupDigits(unsigned long long value, const std::string& separator = ",");

// All CP932. root is the volume's mount point as shown.
struct DriveTexts {
  std::string caption, seriesTitle, chartTitle, summary, clusters, note, usedLabel, freeLabel;
};
DriveTexts MakeDriveTexts(const std::string& root, const DriveFigures& figures, const std::string& separator = ",");

}  // namespace sorabu::info
