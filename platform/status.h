#pragma once
// The one way the core reports what happened. Internal functions return a
// Status, or a Result<T> when they also produce a value. The integer codes
// of the exported C functions are made from a Status only at the C boundary,
// by one translation function per family of functions, so that each
// family's numbering is written down in one place.
#include <cstdint>
#include <type_traits>
#include <utility>

namespace hv {

enum class Status : std::uint8_t {
  Ok,              // done as asked
  Failed,          // the operation could not be done (no more precise reason)
  NoHandle,        // no image handle was given
  BadArgument,     // an argument is missing or out of range
  Unsupported,     // a format, compression or mode the code does not handle
  NoImageMemory,   // the image has no image memory loaded
  NoMemory,        // memory could not be allocated
  OutsideImage,    // a rectangle or index lies outside the image
  AlignFailed,     // the image could not be padded to the alignment asked for
  BadRotation,     // an angle that is not a right angle
  TooSmall,        // a result buffer cannot hold what it has to
  BandFailed,      // a band of the picture could not be scaled or turned
  NoContext,       // a decoding context could not be made; nothing was delivered
  CodingError,     // the coded data is invalid part-way; what came before is valid
  DataEnded,       // the data ended before everything wanted was delivered
  AllDelivered,    // everything there is has been delivered: no more data
  NewStrip,        // done, and what was delivered begins a new strip
  ReadFailed,      // a file could not be read or positioned
  WriteFailed,     // a file or output could not be written
  Stopped,         // a callback asked to stop
  NotFound,        // the record or entry looked for is not there
  NothingToDo,     // the change is not possible for the current contents; nothing was changed
  IndexRemoved,    // done, and the index file was removed because its last record went
  Busy,            // another process held a lock for longer than the caller would wait
};

// A short English description.
const char* statusText(Status status);

// Either a value or the Status saying why there is none. Never Ok without a
// value. No heap, no exceptions: T is held in place.
template <typename T>
class Result {
  static_assert(std::is_trivially_destructible_v<T>, "Result holds plain values only");

 public:
  Result(T value) : value_(std::move(value)), status_(Status::Ok) {}  // NOLINT: implicit by design
  Result(Status failure) : value_{}, status_(failure == Status::Ok ? Status::Failed : failure) {}  // NOLINT

  bool ok() const { return status_ == Status::Ok; }
  explicit operator bool() const { return ok(); }
  Status status() const { return status_; }
  // The value; only meaningful when ok().
  const T& value() const { return value_; }
  T valueOr(T fallback) const { return ok() ? value_ : fallback; }

 private:
  T value_;
  Status status_;
};

}  // namespace hv
