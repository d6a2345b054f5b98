#include "formats/fm_messages.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

namespace hv::formats {
namespace {

constexpr const char* kTexts[kMessageCount] = {
    "OK",
    "Unable to read %s\n",
    "Unable to alloc memory for %s\n",
    "Unexpected End of File on %s\n",
    "Unable to open %s\n",
    "No Motorola support",
    "No Cals support",
    "Unknown Type",
    "Unknown Filter Type Found",
    "LoadTables:  Bad .exe path - %s",
    "Context-specific table overflow:  Increase CONTEXT_MAX",
    "%s: Out of Memory.",
    "Manditory TIFF Tags not present in image file",
    "Error processing TIFF Image File Directory",
    "TIFF version in file is not '42' (0x2A)",
    "TIFF File Manager: LZW compressed files are not supported.",
    "TIFF File Manager: Unknown compression scheme %d",
    "No compression",
    "Group3-1D (TIFF)",
    "CCITT Group3-1D",
    "CCITT Group3-2D",
    "CCITT Group4",
    "Group 4 (WRAP)",
    "PackBits",
    "Unknown",
    "Unable to Load Filter Procedure Pointers",
    "Unable to write to %s\n",
    "%s has completed translation\n",
    "%s terminated due to Error\n",
    "Cannot Seek to Tile Data Offset:  %s\n",
    "Cannot Recognize Compression Type:  %s\n",
    "Cannot Recognize Tile Data\n",
    "Trying to read past EOF of CALS Type II File\n",
    "Cannot support for uncompressed tiles.\n",
    "Invalid Audre Header Id in %s\n",
    "Unable to read %s\n",
    "Error while compressing tile: %s\n",
    "Unable to seek to %s\n",
    "Unable to Extract 1840A Header from: %s (your -e switch failed)\n",
    "Tag %s missing in original file\n",
    "CALS Type II Copy File is missing a Raster Tag\n",
    "CALS Type II Copy File is missing a TileTypes Tag\n",
    "Missing the CalsII default ASN1 file: %s\n",
    "Image width or height is not within 1 to 65535 pixels in %s\n",
    "Only bilevel images are supported: %s\n",
    "TIFF File Manager: BigTIFF files are not supported.\n",
    "Only IMPORT/EXPORT images of one Group 4 wrap raster can be opened: %s\n",
};

// The installed sink and the last text; any thread may report or install.
// The sink is called outside the lock, so that it may itself report.
struct SinkState {
  std::mutex lock;
  MessageSink sink = nullptr;
  void* user = nullptr;
  std::string last = "No Message Set";
};

SinkState& state() {
  static SinkState s;
  return s;
}

// Substitutes the first %s or %d of the template; the table holds at most one.
std::string substitute(const char* tmpl, const std::string& arg) {
  std::string out;
  bool done = false;
  for (const char* p = tmpl; *p; ++p) {
    if (!done && p[0] == '%' && (p[1] == 's' || p[1] == 'd')) {
      out += arg;
      ++p;
      done = true;
    } else {
      out += *p;
    }
  }
  return out;
}

struct Alias {
  std::string internal, shown;
};
thread_local Alias* g_alias = nullptr;
std::atomic<unsigned long> g_reported{0};

void deliver(int severity, int number, const std::string& given) {
  const int err = errno;
  std::string arg = given;
  if (g_alias != nullptr && arg == g_alias->internal) {
    arg = g_alias->shown;
    if (number == kMsgUnableToWrite && err != 0) arg += std::string(": ") + std::strerror(err);
  }
  ++g_reported;
  std::string text = substitute(messageText(number), arg);
  if (severity == kFatal) text = "FATAL ERROR: " + text;
  SinkState& s = state();
  MessageSink sink;
  void* user;
  {
    std::lock_guard<std::mutex> hold(s.lock);
    s.last = text;
    sink = s.sink;
    user = s.user;
  }
  if (sink) sink(severity, kMessageCaption, text.c_str(), user);
}

}  // namespace

const char* messageText(int number) {
  return number >= 0 && number < kMessageCount ? kTexts[number] : "";
}

void setMessageSink(MessageSink sink, void* user) {
  SinkState& s = state();
  std::lock_guard<std::mutex> hold(s.lock);
  s.sink = sink;
  s.user = user;
}

void report(int severity, int number, const char* arg) { deliver(severity, number, arg ? arg : " "); }

void reportNumber(int severity, int number, long value) { deliver(severity, number, std::to_string(value)); }

std::string lastMessage() {
  SinkState& s = state();
  std::lock_guard<std::mutex> hold(s.lock);
  return s.last;
}

unsigned long messagesReported() { return g_reported.load(); }

MessagePathAlias::MessagePathAlias(std::string internal, std::string shown) {
  g_alias = new Alias{std::move(internal), std::move(shown)};
}

MessagePathAlias::~MessagePathAlias() {
  delete g_alias;
  g_alias = nullptr;
}

}  // namespace hv::formats
