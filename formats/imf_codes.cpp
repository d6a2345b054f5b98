#include "formats/imf_codes.h"

namespace hv::formats {

int toCodeBufferCode(Status status) {
  switch (status) {
    case Status::Ok: return 0;
    case Status::DataEnded: return 4;
    case Status::NewStrip: return 8;
    case Status::AllDelivered: return 9;
    default: return 10;
  }
}

int toImfFlag(Status status) { return status == Status::Ok ? 1 : 0; }

int toFilterNumber(Result<int> filter) { return filter.valueOr(0); }

std::int64_t toFilePosition(Result<std::int64_t> position) { return position.valueOr(-1); }

}  // namespace hv::formats
