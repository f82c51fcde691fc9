// Formatted text between the editor's document and the RTF reader's and writer's paragraphs of
// runs: bold, italic, underline, size and colour, the only formats either side knows.
#pragma once

#include "viewer/rtf_reader.h"

class QTextCharFormat;
class QTextCursor;
class QTextDocument;

namespace sorabu::viewer {

// The paragraphs at cursor, each run in base with its own formats on top.
void InsertRichText(QTextCursor& cursor, const RtfDocument& doc, const QTextCharFormat& base);

// The document's paragraphs, neighbouring fragments of one format joined in one run; a break at
// the very end starts no paragraph.
RtfDocument RichTextOf(const QTextDocument& document);

}  // namespace sorabu::viewer
