#include "records/record_codes.h"

#include "records/jmxholl_layout.h"

namespace hv::records {

int toHollrecCode(HollrecCall call, Status status, long value) {
  const bool ok = status == Status::Ok;
  switch (call) {
    case HollrecCall::Plain: return ok ? 1 : 0;
    case HollrecCall::Index: return ok ? static_cast<int>(value) : -1;
    case HollrecCall::Append: return ok ? 2 : -1;
    case HollrecCall::Change: return ok ? 100 : -1;
  }
  return 0;
}

int toJmxhollCode(JmxhollCall call, Status status, long value) {
  const bool ok = status == Status::Ok;
  switch (call) {
    case JmxhollCall::Plain: return ok ? 1 : 0;
    case JmxhollCall::Index: return ok ? static_cast<int>(value) : -1;
    case JmxhollCall::Change: return ok ? static_cast<int>(jmx::kRecordSize) : -1;
  }
  return 0;
}

}  // namespace hv::records
