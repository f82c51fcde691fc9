// HTML to plain text, one streaming line at a time.
//
// Entities are replaced line by line; the text then runs together in a buffer, comments are cut
// out, and tags are removed, except that a fixed set of tags ends a text line: the text before
// such a tag is cleaned by the variant and written. Between PRE and /PRE every line read is a
// line written. The buffer holds only the text since the last line-ending tag, so a file without
// such tags is held whole (it becomes one line).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace sorabu::textcmd {

class THtmlToText {
 public:
  // variant 1..4; emit receives each output line (without line end).
  THtmlToText(int variant, std::function<void(std::string_view)> emit);
  void Line(std::string_view line);
  void Finish();

 private:
  void Write(std::string_view piece);
  static bool EndsLine(std::string_view upperTag);

  int variant_;
  std::function<void(std::string_view)> emit_;
  std::string buffer_;
  std::size_t noOpen_ = 0;
  bool pre_ = false;
};

// The entity replacements, in their order; an entity found with its exact spelling is then
// replaced in every letter case.
std::string ReplaceEntities(std::string_view line);

}  // namespace sorabu::textcmd
