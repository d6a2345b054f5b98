#pragma once
// The open modes a filter's open procedure accepts and the seek origins of
// imfFileSeek. Both are passed as plain int through the filter table and the
// exported C functions, so every value is fixed.
namespace hv::formats {

enum OpenMode : int {
  kOpenRead = 0,               // read an existing file
  kOpenWrite = 1,              // create or truncate the file and write it
  kOpenReadSecondHeader = 3,   // read; an EDMICS VI file with a second header is
                               // read through that one (grxOpenImage's GRX_OPEN_MODE3)
};

// Whether `mode` is one of the two reading modes.
constexpr bool isReadMode(int mode) { return mode == kOpenRead || mode == kOpenReadSecondHeader; }

enum SeekOrigin : int {
  kSeekFromHeader = 0,   // offsets count from the record's header offset
  kSeekFromCurrent = 1,  // from the current position
  kSeekFromEnd = 2,      // from the end of the file
};

}  // namespace hv::formats
