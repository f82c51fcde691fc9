// Writer of the RTF the pane saves in rich-text mode: the same subset the reader understands
// (paragraphs of runs with bold, italic, underline, size and colour), characters as code page 932.
#pragma once

#include <string>

#include "viewer/rtf_reader.h"

namespace sorabu::viewer {

// fontName: the pane's font (CP932). Runs without a size or colour get none, so the reader of the
// file uses its own, as the pane does. Reading the result back gives the document again.
std::string WriteRtf(const RtfDocument& document, const std::string& fontName);

}  // namespace sorabu::viewer
