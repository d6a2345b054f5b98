#pragma once
// The integer results of the exported hollrec_* and jmxholl_* functions,
// made from the Status of the work behind them. Each family's numbering is
// written down here and nowhere else.
#include "platform/status.h"

namespace hv::records {

// The result shapes of the hollrec_* functions.
enum class HollrecCall {
  Plain,          // 1 when done, 0 otherwise (translations, truncation, removal)
  Index,          // the value (a record index or the next sequence number), -1 otherwise
  Append,         // 2 when appended, -1 otherwise
  Change,         // 100 when replaced, -1 otherwise
};

// The result shapes of the jmxholl_* functions.
enum class JmxhollCall {
  Plain,   // 1 when done, 0 otherwise
  Index,   // the value (a record index or a sequence number), -1 otherwise
  Change,  // the record size, 1072, when replaced, -1 otherwise
};

int toHollrecCode(HollrecCall call, Status status, long value = 0);
int toJmxhollCode(JmxhollCall call, Status status, long value = 0);

template <typename T>
int toHollrecCode(HollrecCall call, const Result<T>& result) {
  return toHollrecCode(call, result.status(), result.ok() ? static_cast<long>(result.value()) : 0);
}
template <typename T>
int toJmxhollCode(JmxhollCall call, const Result<T>& result) {
  return toJmxhollCode(call, result.status(), result.ok() ? static_cast<long>(result.value()) : 0);
}

}  // namespace hv::records
