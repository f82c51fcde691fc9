// Reader for the common subset of RTF shown by the text pane when rich-text display is on.
//
// The result is a plain document model (paragraphs of formatted runs) that the pane turns into
// its own rich text; the reader itself knows nothing of Qt. Character bytes, whether written
// raw or as \'hh, are code page 932.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorabu::viewer {

// A line break inside a paragraph (\line) is stored as this character, the one Qt's text
// document also uses for a break that does not end the paragraph.
inline constexpr char16_t kRtfLineBreak = u'\u2028';

struct RtfRun {
  std::u16string text;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int halfPoints = 0;           // font size in half points; 0 = the pane's own size
  std::optional<uint32_t> rgb;  // 0xRRGGBB; none = the pane's own colour

  bool operator==(const RtfRun&) const = default;
};

struct RtfDocument {
  // Neighbouring runs never share the same formatting; an empty paragraph has no runs.
  std::vector<std::vector<RtfRun>> paragraphs;

  bool operator==(const RtfDocument&) const = default;
};

// Groups nested deeper than this are read for their braces only; their content is dropped.
inline constexpr int kRtfMaxGroupDepth = 256;

// Never fails: any byte string gives a document. Unknown control words and destinations are
// skipped, unbalanced braces are tolerated, and reading stops where the outermost group closes.
// Runs in time linear in the input size.
RtfDocument ReadRtf(std::string_view bytes);

// One line per paragraph, runs as "text" or "[b i u 24 #rrggbb|text]" with only the attributes
// that differ from the default; UTF-8. For tests and diagnostics.
std::string DumpRtfDocument(const RtfDocument& document);

}  // namespace sorabu::viewer
