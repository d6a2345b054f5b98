// The batch print file list and the host list, read from arbitrary bytes.
// Input: the list file itself; the same bytes are also parsed as a host list.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "batchprint/host_list.h"
#include "batchprint/print_list.h"
#include "fuzz/fuzz_scratch.h"
#include "platform/name_lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace hv::batchprint;
  hv::fuzz::putFile("list", data, size);
  const PrintList list = readPrintList(hv::fuzz::scratchDir() + "list");
  if (!list.opened) std::abort();
  // Never more entries than lines, never a kept line beyond the limit, never
  // a CR or LF inside an entry.
  if (list.entries.size() + list.dropped > size) std::abort();
  for (const ListEntry& e : list.entries) {
    if (e.listed.empty() || e.listed.size() > kMaxListLine) std::abort();
    if (e.listed.find_first_of("\r\n") != std::string::npos) std::abort();
    if (e.state == EntryState::Printable && classifyEntry(e.path) != EntryState::Printable) std::abort();
  }

  HostList hosts;
  hosts.parse(std::string(reinterpret_cast<const char*>(data), size));
  const auto& entries = hosts.entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].address.empty() || entries[i].address[0] == '#' || entries[i].number.empty()) std::abort();
    if (hosts.find(entries[i].name) != static_cast<int>(i)) std::abort();  // one entry per name
  }
  return 0;
}
