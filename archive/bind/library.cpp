// dlopen with RTLD_LOCAL so the plug-ins' private copies of the codec never meet; handles are
// cached by full path, so a test that points the folder elsewhere gets that folder's libraries.
#include "archive/bind/library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <mutex>

namespace sorabu::archive {
namespace {

std::mutex& Lock() {
  static std::mutex m;
  return m;
}

std::string& Override() {
  static std::string folder;
  return folder;
}

std::string ExecutableFolder() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string path(buf, static_cast<std::size_t>(n));
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

void SetLibraryFolder(const std::string& folder) {
  std::lock_guard<std::mutex> g(Lock());
  Override() = folder;
}

std::string LibraryFolder() {
  {
    std::lock_guard<std::mutex> g(Lock());
    if (!Override().empty()) return Override();
  }
  return ExecutableFolder();
}

std::string PluginFileName(std::string_view dll_name) {
  std::string base(dll_name.substr(0, dll_name.rfind('.')));
  for (char& c : base) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return "lib" + base + ".so";
}

void* LoadLibrary(std::string_view dll_name) {
  const std::string path = LibraryFolder() + "/" + PluginFileName(dll_name);
  std::lock_guard<std::mutex> g(Lock());
  static std::map<std::string, void*> loaded;
  if (const auto it = loaded.find(path); it != loaded.end()) return it->second;
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle != nullptr) loaded[path] = handle;
  return handle;
}

void* LibraryEntry(void* library, const char* name) {
  return library == nullptr ? nullptr : ::dlsym(library, name);
}

}  // namespace sorabu::archive
