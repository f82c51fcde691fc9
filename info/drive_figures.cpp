#include "info/drive_figures.h"

#include <sys/statvfs.h>

#include "textconv/cp932.h"

namespace sorabu::info {

std::optional<DriveFigures> FiguresFromStats(const VolumeStats& stats) {
  DriveFigures f;
  f.bytesPerSector = stats.fragmentSize != 0 && stats.fragmentSize % 512 == 0 ? 512 : stats.fragmentSize;
  f.sectorsPerCluster = f.bytesPerSector == 0 ? 0 : stats.fragmentSize / f.bytesPerSector;
  f.totalClusters = stats.blocks;
  if (f.sectorsPerCluster == 0 || f.bytesPerSector == 0 || f.totalClusters == 0) return std::nullopt;
  f.freeClusters = stats.available == 0 ? 1 : stats.available;
  const unsigned long long cluster = f.sectorsPerCluster * f.bytesPerSector;
  f.totalBytes = cluster * f.totalClusters;
  f.freeBytes = cluster * f.freeClusters;
  f.usedBytes = f.freeBytes > f.totalBytes ? 0 : f.totalBytes - f.freeBytes;
  return f;
}

std::optional<DriveFigures> QueryDriveFigures(const std::string& folder) {
  struct statvfs st {};
  if (folder.empty() || ::statvfs(folder.c_str(), &st) != 0) return std::nullopt;
  return FiguresFromStats({st.f_frsize != 0 ? st.f_frsize : st.f_bsize, st.f_blocks, st.f_bavail});
}

std::string GroupDigits(unsigned long long value, const std::string& separator) {
  const std::string digits = std::to_string(value);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return out;
}

DriveTexts MakeDriveTexts(const std::string& root, const DriveFigures& f, const std::string& separator) {
  auto cp = [](const char* utf8) { return textconv::Utf8ToCp932(utf8); };
  const std::string total = GroupDigits(f.totalBytes, separator) + " byte";
  const std::string used = GroupDigits(f.usedBytes, separator) + " byte";
  const std::string free = GroupDigits(f.freeBytes, separator) + " byte";
  DriveTexts t;
  t.caption = cp("ドライブ情報");
  t.seriesTitle = cp("ドライブ情報 ") + root;
  t.chartTitle = t.seriesTitle + " " + total;
  t.summary = root + cp(" 全容量 ") + total + cp("  使用 ") + used + cp("  未使用 ") + free;
  t.clusters = cp("ｾｸﾀ = ") + std::to_string(f.sectorsPerCluster) + cp(" ﾊﾞｲﾄ = ") + std::to_string(f.bytesPerSector) +
               cp(" ｸﾗｽﾀ = ") + std::to_string(f.totalClusters) + cp(" ﾌﾘｰｸﾗｽﾀ = ") + std::to_string(f.freeClusters);
  t.note = cp("一部のドライブでは情報が正しく取得できない場合があります。");
  t.usedLabel = cp("使用 ");
  t.freeLabel = cp("未使用 ");
  return t;
}

}  // namespace sorabu::info
