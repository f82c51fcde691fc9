// Splits FILE into parts of PART_SIZE bytes beside it, then joins the parts into FILE.joined, as
// the window's split and join commands do (progress callback included); prints the milliseconds
// of each step on one line: "split MS join MS parts N". bench/split-merge.sh puts them beside
// split and cat.
//   split_merge_bench FILE PART_SIZE
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fileops/split_merge.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fo = sorabu::fileops;

double Ms(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

bool Check(const fo::TFileJobOutcome& r, const char* step) {
  if (r.result == fo::TFileJobResult::Done) return true;
  std::fprintf(stderr, "%s: %s: %s\n", step, r.failedPath.c_str(),
               r.result == fo::TFileJobResult::Cancelled ? "cancelled" : r.error.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: split_merge_bench FILE PART_SIZE\n");
    return 2;
  }
  const std::filesystem::path file = std::filesystem::absolute(argv[1]);
  const unsigned long long partSize = std::stoull(argv[2]);
  const unsigned long long parts = fo::PartCount(std::filesystem::file_size(file), partSize);
  unsigned long long calls = 0;
  const auto count = [&](unsigned long long, unsigned long long) { return ++calls > 0; };
  const auto start = Clock::now();
  if (!Check(fo::SplitFile(file.string(), partSize, count), "split")) return 1;
  const auto split = Clock::now();
  std::vector<std::string> names;
  for (unsigned long long i = 1; i <= parts; ++i)
    names.push_back(std::filesystem::path(fo::PartName(file.string(), i)).filename().string());
  if (!Check(fo::MergeFiles(file.parent_path().string(), names, file.filename().string() + ".joined", count), "join"))
    return 1;
  const auto joined = Clock::now();
  std::printf("split %.0f join %.0f parts %llu\n", Ms(start, split), Ms(split, joined), parts);
  return 0;
}
