#pragma once
// Helpers shared by the record tests: hand-built records and a fault plan
// for the index rewrite.
#include <cstring>
#include <string>
#include <vector>

#include "platform/safe_rewrite.h"
#include "records/hollrec.h"

namespace hv::records::test {

// A 100-byte record of blanks with fields placed at their offsets.
inline RecordHollerith hollRecord(std::initializer_list<std::pair<std::size_t, std::string>> fields) {
  RecordHollerith r;
  std::memset(r.bytes, ' ', sizeof r.bytes);
  for (const auto& [offset, text] : fields) std::memcpy(r.bytes + offset, text.data(), text.size());
  return r;
}

// A record carrying only its tag, a document number and sequence number.
inline RecordHollerith seqRecord(const std::string& seq, char fill = 'D') {
  return hollRecord({{0, "srcdocid: "}, {12, std::string(15, fill)}, {78, seq}});
}

inline std::string bytesOf(const RecordHollerith& r) { return std::string(r.bytes, sizeof r.bytes); }

// A long name whose sequence number is seq (the rest is irrelevant to finding).
inline std::string nameWithSeq(const std::string& seq) { return std::string(60, '_') + seq; }

// Makes rewrite step failAt fail with err (counting over the whole call).
struct FaultPlan {
  int failAt = -1;
  int err = EIO;
  int seen = 0;
  static int hook(platform::RewriteStep, void* ctx) {
    auto* p = static_cast<FaultPlan*>(ctx);
    return p->seen++ == p->failAt ? p->err : 0;
  }
};

class FaultScope {
 public:
  explicit FaultScope(FaultPlan* plan) { platform::setRewriteFaultHook(&FaultPlan::hook, plan); }
  ~FaultScope() { platform::setRewriteFaultHook(nullptr, nullptr); }
};

}  // namespace hv::records::test
