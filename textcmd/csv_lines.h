// Joining every N lines into one record line.
//
// Each line becomes a field (quote + line + quote; quotes inside are not doubled). The
// separator goes before a field only when the record built so far is not empty, so with no
// quote an empty first line adds nothing. A record is written after every N lines and at the
// end when lines remain.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace sorabu::textcmd {

class TCsvJoiner {
 public:
  // n must be at least 1.
  TCsvJoiner(std::string quote, std::string separator, long long n, std::function<void(std::string_view)> emit)
      : quote_(std::move(quote)), separator_(std::move(separator)), n_(n), emit_(std::move(emit)) {}
  void Line(std::string_view line);
  void Finish();

 private:
  std::string quote_;
  std::string separator_;
  long long n_;
  std::function<void(std::string_view)> emit_;
  std::string record_;
  long long count_ = 0;
  bool pending_ = false;
};

}  // namespace sorabu::textcmd
