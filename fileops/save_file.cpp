#include "fileops/save_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "fileops/file_io.h"

namespace sorabu::fileops {

bool SaveFile(const std::string& path, const std::string& bytes, const std::string& backupPath, std::string& error) {
  struct stat st {};
  const bool exists = stat(path.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    error = io::Reason(EISDIR);
    return false;
  }
  io::Fd out;
  std::string temporary;
  if (const int err = io::CreateBeside(path, exists ? (st.st_mode & 07777) : 0666, temporary, out); err != 0) {
    error = io::Reason(err);
    return false;
  }
  int err = io::WriteAll(out.get(), bytes);
  if (err == 0 && exists && fchmod(out.get(), st.st_mode & 07777) != 0) err = errno;
  if (err == 0) err = out.Close();
  if (err != 0) {
    unlink(temporary.c_str());
    error = io::Reason(err);
    return false;
  }
  if (exists && !backupPath.empty() && backupPath != path) {
    std::remove(backupPath.c_str());
    std::rename(path.c_str(), backupPath.c_str());
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    err = errno;
    unlink(temporary.c_str());
    error = io::Reason(err);
    return false;
  }
  return true;
}

}  // namespace sorabu::fileops
