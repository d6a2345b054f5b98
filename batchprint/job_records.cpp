#include "batchprint/job_records.h"

#include <cstdio>

#include "batchprint/net_host.h"

namespace hv::batchprint {
namespace {

std::string cut(const std::string& s, std::size_t width) { return s.size() > width ? s.substr(0, width) : s; }

// "%02d%02d%02d" of three clock or calendar fields.
std::string twoDigits3(int a, int b, int c) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d%02d%02d", a, b, c);
  return buf;
}

}  // namespace

std::string headerText(const std::string& hostName, const std::string& listName, std::uint32_t localAddress,
                       std::uint32_t serverAddress, const std::tm& when) {
  const std::string date = twoDigits3(when.tm_year % 100, when.tm_mon + 1, when.tm_mday);
  const std::string time = twoDigits3(when.tm_hour, when.tm_min, when.tm_sec);
  char buf[160];
  std::snprintf(buf, sizeof buf, "%-8s:%-12s:%-15s:%-15s:%6.6s:%6.6s:%6.6s:%6.6s:",
                cut(hostName, kHostNameWidth).c_str(), cut(listName, kListNameWidth).c_str(),
                FormatAddress(localAddress).c_str(), FormatAddress(serverAddress).c_str(), date.c_str(),
                time.c_str(), date.c_str(), time.c_str());
  return std::string(buf, kHeaderSize);
}

std::string imageRecordText(const ImageRecordFields& f) {
  const std::string host = cut(f.hostName, kHostNameWidth);
  const std::string list = cut(f.listName, kListNameWidth);
  auto format = [&](const std::string& size) {
    char buf[256];
    int n = std::snprintf(buf, sizeof buf, "%02u:%u:%s:%-8s %s %04d::", f.copies, f.plotter, size.c_str(),
                          host.c_str(), list.c_str(), f.sequence);
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
  };
  std::string text = format(cut(f.size, 64));
  if (text.size() > kImageRecordSize) {
    // Only the size text can still be long: give it what is left.
    const std::size_t over = text.size() - kImageRecordSize;
    const std::size_t sizeLength = std::min<std::size_t>(f.size.size(), 64);
    text = format(f.size.substr(0, sizeLength > over ? sizeLength - over : 0));
  }
  text.resize(kImageRecordSize, ' ');
  return text;
}

std::string trailerText(int count) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%08d", count);
  return std::string(buf).substr(0, kTrailerSize);
}

}  // namespace hv::batchprint
