// The engine's exceptions and user-visible messages.
//
// Messages are written here once, as UTF-8 literals; `ERegExpParser::what()` and `Message()` give
// them in UTF-8 (for the terminal and the tests), `MessageCp932()` in the program's byte encoding
// (for the pane and message boxes). Positions are 1-based byte positions in the pattern; patterns
// are limited to 65,535 bytes so that every position fits the 16 bits the interface promises.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace sorabu::regex {

namespace msg {
inline constexpr const char* kBadDoubleByte = "不正な２バイト文字コードです。";
inline constexpr const char* kBackslashAtEnd = "\"\\\"の次には文字が必要です。";
inline constexpr const char* kBadHex = "不正な１６進数コード表記です。";
inline constexpr const char* kBadOctal = "不正な８進数コード表記です。";
inline constexpr const char* kBracketNeeded = "右ブラケット\"]\"が必要です";
inline constexpr const char* kBadRange = "不正なキャラクタ範囲です";
inline constexpr const char* kBadClass = "不正なキャラクタクラス指定です。";
inline constexpr const char* kParenNeeded = "右(閉じ)括弧が必要です";
inline constexpr const char* kPrimaryNeeded = "普通の文字、または左括弧\"(\"が必要です";
inline constexpr const char* kExtraChars = "正規表現に余分な文字があります";
inline constexpr const char* kTreeFatal = "TREParseTree : 致命的エラー";
inline constexpr const char* kNfaFatal = "This cannot happen in TRE_NFA.GenerateStateList";
// Limits this build adds so that no pattern can exhaust memory or the stack.
inline constexpr const char* kTooLong = "正規表現が長すぎます（65535バイトまで）";
inline constexpr const char* kTooDeep = "括弧の入れ子が深すぎます";
inline constexpr const char* kTooManyRanges = "正規表現が複雑すぎます（文字範囲の数が上限を超えました）";
inline constexpr const char* kTooManyNfaStates = "正規表現が複雑すぎます（NFAの状態数が上限を超えました）";
inline constexpr const char* kDfaTooLarge = "正規表現が複雑すぎます（DFAの大きさが上限を超えました）";
// Grep.
inline constexpr const char* kEndOfFile = "End Of File";
inline constexpr const char* kCancelRequest = "CancelRequest";
}  // namespace msg

// UTF-8 text as CP932 bytes; the one place where the engine's messages change encoding.
std::string MessageBytes(std::string_view utf8);

// A pattern syntax error, or a limit of the engine, with the scanner's position.
class ERegExpParser : public std::runtime_error {
 public:
  ERegExpParser(const char* message, std::size_t position);
  std::string Message() const { return what(); }
  std::string MessageCp932() const { return MessageBytes(what()); }
  std::uint16_t Position() const noexcept { return position_; }

 private:
  std::uint16_t position_;
};

// Grep: a stop request seen between blocks or before a reported line.
class EGrepCancel : public std::runtime_error {
 public:
  EGrepCancel() : std::runtime_error(msg::kCancelRequest) {}
};
// The reader ran out of file.
class EEndOfFile : public std::runtime_error {
 public:
  EEndOfFile() : std::runtime_error(msg::kEndOfFile) {}
};
// A file set aside as binary (its first 8 KiB hold a NUL byte and no UTF-16 mark opens it).
class EBinaryFile : public std::runtime_error {
 public:
  EBinaryFile() : std::runtime_error("binary file") {}
};
// A file that cannot be opened; carries the system's message.
class EFileNotFound : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace sorabu::regex
