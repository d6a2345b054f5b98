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
  auto format = [&](const std::string& size, const std::string& list) {
    char buf[320];
    int n = std::snprintf(buf, sizeof buf, "%02u:%u:%s:%-8s %s %04d::", f.copies, f.plotter, size.c_str(),
                          host.c_str(), list.c_str(), f.sequence);
    return std::string(buf, n > 0 ? std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buf - 1) : 0);
  };
  // Texts that cannot fit are bounded first, so the record is formatted whole.
  std::string size = cut(f.size, kImageRecordSize);
  std::string list = cut(f.listName, kImageRecordSize);
  std::string text = format(size, list);
  if (text.size() > kImageRecordSize) {
    // The list name gives way first, down to its header width, then the size.
    const std::size_t over = text.size() - kImageRecordSize;
    const std::size_t spare = list.size() > kListNameWidth ? list.size() - kListNameWidth : 0;
    list.resize(list.size() - std::min(over, spare));
    if (over > spare) size.resize(size.size() > over - spare ? size.size() - (over - spare) : 0);
    text = format(size, list);
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
