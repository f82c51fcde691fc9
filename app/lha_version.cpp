#include "app/lha_version.h"

#include <QDir>
#include <QFile>
#include <dlfcn.h>

namespace sorabu::app {

std::uint16_t QueryLhaVersion(const QString& libraryFolder) {
  const QByteArray path = QFile::encodeName(QDir(libraryFolder).filePath(QStringLiteral("libunlha32.so")));
  void* handle = ::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return 0;
  using GetVersion = std::uint16_t (*)();
  auto get = reinterpret_cast<GetVersion>(::dlsym(handle, "UnlhaGetVersion"));
  const std::uint16_t version = get ? get() : 0;
  // The library stays loaded: the archive commands use it for the rest of the run.
  return version;
}

}  // namespace sorabu::app
