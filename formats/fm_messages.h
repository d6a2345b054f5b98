#pragma once
// The file manager's numbered message table and the sink that shows it.
// Library code never shows anything itself: it formats the message and hands
// it to the sink the program installed (a message box in the viewer, standard
// error in the command-line tool, a collector in tests).
#include <string>

#include "platform/export.h"

namespace hv::formats {

enum Severity : int { kFatal = 1, kWarning = 2 };

inline constexpr const char* kMessageCaption = "Halvor File Manager Error";
// Entries 0 to 42 are the file manager's general messages, each number and
// text fixed (the numbers without a MessageNumber below are never reported
// and only keep the others in place); 43 and 44 refuse images the engine
// cannot represent, 45 and 46 files it does not read.
inline constexpr int kMessageCount = 47;

enum MessageNumber : int {
  kMsgOk = 0,
  kMsgUnableToRead = 1,
  kMsgNoMemory = 2,
  kMsgUnexpectedEof = 3,
  kMsgUnableToOpen = 4,
  kMsgUnknownType = 7,
  kMsgLoadTablesPath = 9,
  kMsgContextOverflow = 10,
  kMsgOutOfMemory = 11,
  kMsgTiffMandatoryTags = 12,
  kMsgTiffDirectory = 13,
  kMsgTiffVersion = 14,
  kMsgTiffLzw = 15,
  kMsgTiffUnknownCompression = 16,
  kMsgNoFilter = 25,
  kMsgUnableToWrite = 26,
  kMsgTileSeek = 29,
  kMsgUnknownCompression = 30,
  kMsgBadTileData = 31,
  kMsgPastEofCals2 = 32,
  kMsgNoUncompressedTiles = 33,
  kMsgBadAudreId = 34,
  kMsgCompressTile = 36,
  kMsgTagMissing = 39,
  kMsgCopyNoRaster = 40,
  kMsgCopyNoTileTypes = 41,
  kMsgNoTemplate = 42,
  kMsgBadImageSize = 43,
  kMsgNotBilevel = 44,
  kMsgBigTiff = 45,
  kMsgImportExportLayout = 46,
};

// The unformatted text of a message number ("" when out of range).
HV_EXPORT const char* messageText(int number);

// A reported message: severity, the formatted text (with the "FATAL ERROR: "
// prefix for fatal reports) and the caption.
using MessageSink = void (*)(int severity, const char* caption, const char* text, void* user);

// Installs the sink (null restores the default, which only records the text).
HV_EXPORT void setMessageSink(MessageSink sink, void* user);

// Formats message `number` with `arg` (a single space when null) and reports it.
HV_EXPORT void report(int severity, int number, const char* arg);
// Same, for messages whose argument is a number ("%d").
HV_EXPORT void reportNumber(int severity, int number, long value);

// The last reported text ("No Message Set" before the first report).
HV_EXPORT std::string lastMessage();

// How many messages have been reported so far.
HV_EXPORT unsigned long messagesReported();

// While alive, a message whose argument is the file `internal` (the
// temporary that a save writes) names `shown` (the file the user asked for)
// instead, and "Unable to write to" gains the system's reason.
class HV_EXPORT MessagePathAlias {
 public:
  MessagePathAlias(std::string internal, std::string shown);
  ~MessagePathAlias();
  MessagePathAlias(const MessagePathAlias&) = delete;
  MessagePathAlias& operator=(const MessagePathAlias&) = delete;
};

}  // namespace hv::formats
