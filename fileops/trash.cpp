#include "fileops/trash.h"

#include <gio/gio.h>

namespace sorabu::fileops {

bool MoveToTrash(const std::string& path) {
  GFile* file = g_file_new_for_path(path.c_str());
  GError* error = nullptr;
  const bool moved = g_file_trash(file, nullptr, &error);
  if (error != nullptr) g_error_free(error);
  g_object_unref(file);
  return moved;
}

}  // namespace sorabu::fileops
