// Reading the working copy by the three models, for the commands' bodies.
//
// The streaming models hand whole lines, or, for converters that keep their memory flat, pieces
// of at most a block, so a file with one endless line (an LF file under the literal model, which
// ends lines only at CR) never has to be held whole. model is LineModel::Streaming or
// LineModel::StreamingLf; a command takes it from its output file's line ends. The list model reads the whole file into lines. The byte model hands
// the file in chunks. Every function returns false with a message (CP932) when reading fails.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "textcmd/out_file.h"

namespace sorabu::textcmd {

constexpr std::size_t kPieceSize = 1 << 20;

bool ForEachStreamingLine(const std::string& path, LineModel model,
                          const std::function<void(std::string_view line)>& onLine, std::string& error);
// lineEnd is true on the last piece of a line (which may be empty). Pieces are at most
// pieceSize bytes.
bool ForEachStreamingPiece(const std::string& path, LineModel model,
                           const std::function<void(std::string_view piece, bool lineEnd)>& onPiece,
                           std::string& error, std::size_t pieceSize = kPieceSize);
bool ReadListLines(const std::string& path, std::vector<std::string>& lines, std::string& error);
// The whole file in text and its lines as views into it.
bool ReadListLineViews(const std::string& path, std::string& text, std::vector<std::string_view>& lines,
                       std::string& error);
bool ForEachChunk(const std::string& path, const std::function<void(std::string_view chunk)>& onChunk,
                  std::string& error, std::size_t chunkSize = kPieceSize);

// The body of RunLineConversion(code), codes 1–14: every line that holds more than CR and LF
// bytes is converted, the others are written back as read; each followed by the line end. The decoding
// of the uuencode-style (11) and BinHex-style (13) encodings first joins the sub-lines that one
// encoded line was written as, so that encoding and decoding give the file back.
bool ConvertLines(int code, const std::string& workingCopy, TOutFile& out, std::string& error);

// The same frame body for the automatic conversions and the width conversions that the
// line streams know (textconv::LineStream::Kind values).
bool StreamLines(int streamKind, bool keepEmptyLines, const std::string& workingCopy, TOutFile& out,
                 std::string& error);

}  // namespace sorabu::textcmd
