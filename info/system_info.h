// The system-information listing of the text pane, with Linux values in place of the Windows ones.
//
// Where each value comes from (label: source):
//   Windowsﾃﾞｨﾚｸﾄﾘ        /usr, the installed operating system
//   Systemﾃﾞｨﾚｸﾄﾘ         /usr/lib, the system's libraries
//   ｶﾚﾝﾄﾃﾞｨﾚｸﾄﾘ           getcwd()
//   ﾕｰｻﾞｰ名              full name from the password entry (GECOS), else the login name
//   会社名               none
//   ｺﾝﾋﾟｭｰﾀｰ名            gethostname()
//   ﾌﾟﾛﾀﾞｸﾄID             /etc/machine-id
//   ﾌﾟﾛﾀﾞｸﾄ名             PRETTY_NAME of /etc/os-release
//   ﾌﾟﾛﾀﾞｸﾄﾀｲﾌﾟ           uname() sysname
//   ﾊﾞｰｼﾞｮﾝ               VERSION of /etc/os-release
//   ﾊﾞｰｼﾞｮﾝﾅﾝﾊﾞｰ          VERSION_ID of /etc/os-release
//   ｻﾌﾞﾊﾞｰｼﾞｮﾝﾅﾝﾊﾞｰ       uname() release (the kernel)
//   ｼｽﾃﾑﾙｰﾄﾃﾞｨﾚｸﾄﾘ        /
//   ﾌﾟﾛｸﾞﾗﾑファイルﾃﾞｨﾚｸﾄﾘ /usr/bin
//   ｺﾓﾝファイルﾃﾞｨﾚｸﾄﾘ     /usr/share
//   ﾌﾟﾛﾀﾞｸﾄｷｰ, Plusﾊﾞｰｼﾞｮﾝﾅﾝﾊﾞｰ  none
//   CPﾍﾞﾝﾀﾞｰ              vendor_id of /proc/cpuinfo (CPU implementer on ARM)
//   環境変数              environ, in its order
//   日付, 時間            the caller's locale formats
//   起動時間              /proc/uptime
// A value with no counterpart stays empty, and an empty value of the block after ｶﾚﾝﾄﾃﾞｨﾚｸﾄﾘ
// gives no line.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace sorabu::info {

// Values in the locale's encoding (UTF-8); the listing converts them to CP932.
struct TSystemFacts {
  std::string windowsDir, systemDir, currentDir;
  std::string owner, organization, computerName, productId, productName, productType, version, versionNumber,
      subVersionNumber, systemRoot, programFilesDir, commonFilesDir, productKey, plusVersionNumber, cpuVendor;
  std::vector<std::string> environment;
  std::string date, time;
  std::uint64_t uptimeMs = 0;
};

// KEY=value lines with optional quotes, as /etc/os-release writes them.
std::map<std::string, std::string> ParseOsRelease(std::string_view text);
// The CPU's vendor from the text of /proc/cpuinfo: vendor_id, else CPU implementer.
std::string CpuVendor(std::string_view cpuinfo);
// "起動時間 = 1 時間  2 分  3 秒" for 3 723 000 ms (CP932).
std::string UptimeLine(std::uint64_t ms);

// Reads this machine; date and time are given already formatted.
TSystemFacts ReadSystemFacts(const std::string& date, const std::string& time);
// The lines of the listing, CP932.
std::vector<std::string> SystemInfoLines(const TSystemFacts& facts);

}  // namespace sorabu::info
