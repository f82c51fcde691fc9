#include "textcmd/csv_lines.h"

namespace sorabu::textcmd {

void TCsvJoiner::Line(std::string_view line) {
  if (!record_.empty()) record_ += separator_;
  record_.append(quote_).append(line).append(quote_);
  pending_ = true;
  if (++count_ % n_ == 0) {
    emit_(record_);
    record_.clear();
    pending_ = false;
  }
}

void TCsvJoiner::Finish() {
  if (pending_) emit_(record_);
  record_.clear();
  pending_ = false;
}

}  // namespace sorabu::textcmd
