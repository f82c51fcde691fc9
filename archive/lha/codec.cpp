// The method table and the checking wrapper; see codec.h.
#include "archive/lha/codec.h"

#include <algorithm>
#include <array>

#include "archive/lha/crc16.h"
#include "archive/lha/larc_decoder.h"
#include "archive/lha/lh1_decoder.h"
#include "archive/lha/lzh_decoder.h"

namespace sorabu::lha {
namespace {

// -lz4- (LArc) and -pm0- (PMarc) are their tools' stored methods; they read like -lh0-.
constexpr std::array<MethodInfo, 11> kMethods = {{
    {"-lh0-", &DecodeStored, 0, false},
    {"-lz4-", &DecodeStored, 0, false},
    {"-pm0-", &DecodeStored, 0, false},
    {"-lzs-", &DecodeLzs, 11, false},
    {"-lz5-", &DecodeLz5, 12, false},
    {"-lh1-", &DecodeLh1, 12, false},
    {"-lh4-", &DecodeLzh<12>, 12, false},
    {"-lh5-", &DecodeLzh<13>, 13, false},
    {"-lh6-", &DecodeLzh<15>, 15, false},
    {"-lh7-", &DecodeLzh<16>, 16, false},
    {"-lhd-", nullptr, 0, true},
}};

// Counts, checks and reports what passes from the decoder to the caller's sink.
class CheckingSink final : public ByteSink {
 public:
  CheckingSink(ByteSink& next, std::uint64_t limit, const ProgressFn& progress)
      : next_(next), limit_(limit), progress_(progress) {}
  bool Write(std::string_view bytes) override {
    if (bytes.size() > limit_ - done_) {
      overflow_ = true;
      return false;
    }
    crc_ = Crc16Update(crc_, bytes);
    done_ += bytes.size();
    if (!next_.Write(bytes)) return false;
    if (progress_ && !progress_(done_, limit_)) return false;
    return true;
  }
  std::uint16_t crc() const { return crc_; }
  std::uint64_t done() const { return done_; }
  bool overflow() const { return overflow_; }

 private:
  ByteSink& next_;
  std::uint64_t limit_;
  const ProgressFn& progress_;
  std::uint64_t done_ = 0;
  std::uint16_t crc_ = 0;
  bool overflow_ = false;
};

}  // namespace

const MethodInfo* FindMethod(std::string_view name) noexcept {
  for (const auto& m : kMethods) {
    if (m.name == name) return &m;
  }
  return nullptr;
}

Error DecodeEntry(const DecodeRequest& req, ByteSink& out) {
  const MethodInfo* m = FindMethod(req.method);
  if (m == nullptr) return Error::kUnknownMethod;
  if (m->is_directory) return Error::kOk;
  CheckingSink sink(out, req.original_size, req.progress);
  ViewSource view(req.packed);
  Error e = m->decode(req.source != nullptr ? *req.source : view, req.original_size, sink);
  if (sink.overflow()) return Error::kCorruptData;
  if (e != Error::kOk) return e;
  if (sink.done() != req.original_size) return Error::kCorruptData;
  if (req.crc && *req.crc != sink.crc()) return Error::kDataCrc;
  if (req.progress && req.original_size == 0 && !req.progress(0, 0)) return Error::kAborted;
  return Error::kOk;
}

Error DecodeEntryToString(const DecodeRequest& req, std::uint64_t max_size, std::string& out) {
  out.clear();
  if (req.original_size > max_size || req.original_size > out.max_size()) return Error::kTooLarge;
  // Reserve no more than the input can plausibly need; a lying size grows the string only as far
  // as real output arrives.
  const std::uint64_t plausible = std::min<std::uint64_t>(req.original_size, std::uint64_t{1} << 26);
  out.reserve(static_cast<std::size_t>(plausible));
  StringSink sink(out);
  return DecodeEntry(req, sink);
}

}  // namespace sorabu::lha
