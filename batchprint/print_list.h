#pragma once
// The batch print file list: a text file naming one file per line, written by
// the viewer's submissions and read by the batch print program.
//
// Writing: a unique "bip" file in the temporary directory, one path and a
// line feed per line. Reading: every carriage return and line feed is removed
// from a line, so lists written with CR LF read the same. The reader is meant
// for lists of any origin: it reads at most the bytes the file held when it
// was opened, keeps at most kMaxListLine characters of a line, stores at most
// kMaxListEntries entries, and never opens an entry; entries are classified
// with stat(2), so a FIFO named in a list is reported, never read.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/export.h"

namespace hv::batchprint {

// Longest line taken as a path (the reader's line buffer holds 512 bytes).
inline constexpr std::size_t kMaxListLine = 512;
// Entries kept from one list; lines beyond are counted, not stored.
inline constexpr std::size_t kMaxListEntries = 100000;

// An open, not yet closed batch print file list.
class HV_EXPORT PrintListWriter {
 public:
  PrintListWriter() = default;
  ~PrintListWriter();  // closes; an unclosed, unkept list is removed
  PrintListWriter(const PrintListWriter&) = delete;
  PrintListWriter& operator=(const PrintListWriter&) = delete;

  // Creates a unique file "<folder>/bipXXXXXX" (folder: the temporary
  // directory when empty). False with errno set when it cannot be created.
  bool create(const std::string& folder = {});
  // Appends path and a line feed. False when the path holds a line break or
  // a NUL (it could not be read back as one line) or the write fails.
  bool append(const std::string& path);
  // Closes the list and keeps it. False when a write or the close failed;
  // the list is then removed.
  bool close();
  // Closes and removes the list (a submission that stops before the batch
  // print program was started).
  void discard();

  const std::string& path() const { return path_; }
  bool isOpen() const { return fd_ >= 0; }
  // True after a write failed (a refused path is not a failure).
  bool failed() const { return failed_; }

 private:
  int fd_ = -1;
  bool failed_ = false;
  std::string path_;
};

// The temporary directory: $TMPDIR when set and not empty, else "/tmp"; ends
// with '/'.
HV_EXPORT std::string temporaryDirectory();

// What the reader found a list line to name.
enum class EntryState {
  Printable,   // a regular file that can be read
  Missing,     // nothing of that name (or a path component is not a folder)
  Directory,   // a folder
  Fifo,        // a named pipe; never opened
  Special,     // a device, socket or other non-regular file
  Unreadable,  // a regular file without read permission
  TooLong,     // the line is longer than kMaxListLine characters
  NotAPath,    // the line holds a NUL byte, which no path can hold
};

// Short English text for a state ("directory", "named pipe", ...).
HV_EXPORT const char* entryStateText(EntryState state);

struct ListEntry {
  std::string listed;  // the line as read (CR and LF removed; a long line's
                       // first kMaxListLine characters)
  std::string path;    // the file to print: listed, through the alias
                       // translation (print_alias.h)
  EntryState state = EntryState::Missing;
};

struct HV_EXPORT PrintList {
  bool opened = false;             // false: the list could not be read (error says why)
  std::string error;               // "missing", "not a regular file", or strerror text
                                   // (also when a read failed part way)
  std::vector<ListEntry> entries;  // every non-empty line, in file order
  std::size_t dropped = 0;         // non-empty lines beyond kMaxListEntries
  std::size_t printable() const;
};

// Reads a batch print file list: the list itself must be a regular file (a
// FIFO or device given as the list is refused without being read). Empty
// lines are ignored. Each entry's path is translated (resolvePrintPath) and
// classified. Never blocks on the entries and never allocates more than a
// bounded amount per line.
HV_EXPORT PrintList readPrintList(const std::string& listPath);

// The state of one path, as readPrintList classifies it (for a check right
// before the file is opened).
HV_EXPORT EntryState classifyEntry(const std::string& path);

}  // namespace hv::batchprint
