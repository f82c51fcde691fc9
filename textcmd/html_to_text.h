// HTML to plain text, one streaming line at a time.
//
// Entities are replaced line by line; the text then runs together in a buffer, comments are cut
// out, and tags are removed, except that a fixed set of tags ends a text line: the text before
// such a tag is cleaned by the variant and written. Between PRE and /PRE every line read is a
// line written. The buffer holds only the text since the last line-ending tag, so a file without
// such tags is held whole (it becomes one line).
//
// Every search goes forward from where the last one stopped, and text between removed tags is
// moved down once, so a line of any length, or any number of lines, costs time in proportion to
// its size.
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
  void CutComment();
  void Compact();
  void Reset();

  int variant_;
  std::function<void(std::string_view)> emit_;
  // The text carried over: buffer_[0, kept_) is the text kept since the last line-ending or
  // stray ">", buffer_[read_, end) the text still to look at; between them lie removed tags.
  std::string buffer_;
  std::size_t kept_ = 0;
  std::size_t read_ = 0;
  // No "<" in [read_, lt_), no ">" in [read_, gt_); no "<!--" starts before open_, no "-->"
  // before close_.
  std::size_t lt_ = 0;
  std::size_t gt_ = 0;
  std::size_t open_ = 0;
  std::size_t close_ = 0;
  bool pre_ = false;
};

// The entity replacements, in their order; an entity found with its exact spelling is then
// replaced in every letter case.
std::string ReplaceEntities(std::string_view line);

}  // namespace sorabu::textcmd
