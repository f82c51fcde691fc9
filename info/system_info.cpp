#include "info/system_info.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "textconv/cp932.h"

extern char** environ;

namespace sorabu::info {

namespace {

std::string C(std::string_view utf8) { return textconv::Utf8ToCp932(utf8); }

std::string Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(first, last - first + 1));
}

std::string ReadText(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string ExistingDir(const char* path) { return ::access(path, F_OK) == 0 ? path : std::string(); }

std::string UserName() {
  const passwd* pw = ::getpwuid(::getuid());
  if (!pw) return {};
  std::string gecos = pw->pw_gecos ? pw->pw_gecos : "";
  gecos = Trim(gecos.substr(0, gecos.find(',')));
  return gecos.empty() ? std::string(pw->pw_name) : gecos;
}

}  // namespace

std::map<std::string, std::string> ParseOsRelease(std::string_view text) {
  std::map<std::string, std::string> values;
  std::istringstream in{std::string(text)};
  std::string line;
  while (std::getline(in, line)) {
    const std::string trimmed = Trim(line);
    const auto eq = trimmed.find('=');
    if (trimmed.empty() || trimmed[0] == '#' || eq == std::string::npos) continue;
    std::string value = trimmed.substr(eq + 1);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    values[trimmed.substr(0, eq)] = value;
  }
  return values;
}

std::string CpuVendor(std::string_view cpuinfo) {
  std::string implementer;
  std::istringstream in{std::string(cpuinfo)};
  std::string line;
  while (std::getline(in, line)) {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string key = Trim(std::string_view(line).substr(0, colon));
    const std::string value = Trim(std::string_view(line).substr(colon + 1));
    if (key == "vendor_id") return value;
    if (key == "CPU implementer" && implementer.empty()) implementer = value;
  }
  return implementer;
}

std::string UptimeLine(std::uint64_t ms) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, "起動時間 = %llu 時間  %llu 分  %llu 秒",
                static_cast<unsigned long long>(ms / 3600000), static_cast<unsigned long long>((ms / 60000) % 60),
                static_cast<unsigned long long>((ms / 1000) % 60));
  return C(buffer);
}

TSystemFacts ReadSystemFacts(const std::string& date, const std::string& time) {
  TSystemFacts f;
  f.windowsDir = ExistingDir("/usr");
  f.systemDir = ExistingDir("/usr/lib");
  if (char* cwd = ::getcwd(nullptr, 0)) {
    f.currentDir = cwd;
    std::free(cwd);
  }
  f.owner = UserName();
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) == 0) f.computerName = host;
  f.productId = Trim(ReadText("/etc/machine-id"));
  const auto os = ParseOsRelease(ReadText("/etc/os-release"));
  auto value = [&os](const char* key) {
    const auto it = os.find(key);
    return it == os.end() ? std::string() : it->second;
  };
  f.productName = value("PRETTY_NAME");
  f.version = value("VERSION");
  f.versionNumber = value("VERSION_ID");
  utsname names{};
  if (::uname(&names) == 0) {
    f.productType = names.sysname;
    f.subVersionNumber = names.release;
  }
  f.systemRoot = "/";
  f.programFilesDir = ExistingDir("/usr/bin");
  f.commonFilesDir = ExistingDir("/usr/share");
  f.cpuVendor = CpuVendor(ReadText("/proc/cpuinfo"));
  for (char** e = environ; e && *e; ++e) f.environment.emplace_back(*e);
  f.date = date;
  f.time = time;
  double seconds = 0;
  if (std::FILE* uptime = std::fopen("/proc/uptime", "r")) {
    if (std::fscanf(uptime, "%lf", &seconds) != 1) seconds = 0;
    std::fclose(uptime);
  }
  f.uptimeMs = static_cast<std::uint64_t>(seconds * 1000.0);
  return f;
}

std::vector<std::string> SystemInfoLines(const TSystemFacts& f) {
  std::vector<std::string> lines;
  lines.push_back(C("Windowsﾃﾞｨﾚｸﾄﾘ = ") + C(f.windowsDir));
  lines.push_back(C("Systemﾃﾞｨﾚｸﾄﾘ = ") + C(f.systemDir));
  lines.push_back(C("ｶﾚﾝﾄﾃﾞｨﾚｸﾄﾘ = ") + C(f.currentDir));
  const std::pair<const char*, const std::string*> block[] = {
      {"ﾕｰｻﾞｰ名 = ", &f.owner},
      {"会社名 = ", &f.organization},
      {"ｺﾝﾋﾟｭｰﾀｰ名 = ", &f.computerName},
      {"ﾌﾟﾛﾀﾞｸﾄID = ", &f.productId},
      {"ﾌﾟﾛﾀﾞｸﾄ名 = ", &f.productName},
      {"ﾌﾟﾛﾀﾞｸﾄﾀｲﾌﾟ = ", &f.productType},
      {"ﾊﾞｰｼﾞｮﾝ = ", &f.version},
      {"ﾊﾞｰｼﾞｮﾝﾅﾝﾊﾞｰ = ", &f.versionNumber},
      {"ｻﾌﾞﾊﾞｰｼﾞｮﾝﾅﾝﾊﾞｰ = ", &f.subVersionNumber},
      {"ｼｽﾃﾑﾙｰﾄﾃﾞｨﾚｸﾄﾘ = ", &f.systemRoot},
      {"ﾌﾟﾛｸﾞﾗﾑファイルﾃﾞｨﾚｸﾄﾘ = ", &f.programFilesDir},
      {"ｺﾓﾝファイルﾃﾞｨﾚｸﾄﾘ = ", &f.commonFilesDir},
      {"ﾌﾟﾛﾀﾞｸﾄｷｰ = ", &f.productKey},
      {"Plusﾊﾞｰｼﾞｮﾝﾅﾝﾊﾞｰ = ", &f.plusVersionNumber},
      {"CPﾍﾞﾝﾀﾞｰ = ", &f.cpuVendor},
  };
  for (const auto& [label, value] : block)
    if (!value->empty()) lines.push_back(C(label) + C(*value));
  for (const std::string& entry : f.environment) lines.push_back(C("環境変数 = ") + C(entry));
  lines.push_back(C("日付 = ") + C(f.date));
  lines.push_back(C("時間 = ") + C(f.time));
  lines.push_back(UptimeLine(f.uptimeMs));
  return lines;
}

}  // namespace sorabu::info
