// How a name read from a folder is shown. Names are bytes on this file system; the program reaches
// a file through the name's Unicode form, so a name that is not valid UTF-8 cannot be reached: it is
// shown with its odd bytes as "\xHH", never passed to a command, never renamed.
#pragma once

#include <QString>

namespace sorabu::browser {

struct TShownName {
  QString text;
  bool reachable = true;  // the text, encoded back, gives the very bytes on disk
};

TShownName ShownFileName(const char* raw);

// The note shown beside such a name.
QString UnreachableNameNote();

}  // namespace sorabu::browser
