#include "batchprint/net_host.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/user_message.h"

namespace hv::batchprint {
namespace {

bool isLoopback(std::uint32_t address) { return (address >> 24) == 127; }

// First non-loopback IPv4 address of an interface that is up; 0 when none.
std::uint32_t interfaceAddress() {
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return 0;
  std::uint32_t found = 0;
  for (ifaddrs* a = list; a != nullptr && found == 0; a = a->ifa_next) {
    if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET) continue;
    if ((a->ifa_flags & IFF_UP) == 0 || (a->ifa_flags & IFF_LOOPBACK) != 0) continue;
    std::uint32_t v = ntohl(reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr.s_addr);
    if (!isLoopback(v)) found = v;
  }
  ::freeifaddrs(list);
  return found;
}

}  // namespace

int NetApi_GetHostName(char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  buffer[0] = '\0';
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) {
    char text[64];
    std::snprintf(text, sizeof text, "gethostname() fails %d.", errno);
    platform::showUserMessage(text);
    return 0;
  }
  std::size_t n = std::strlen(name);
  if (n > size - 1) n = size - 1;
  std::memcpy(buffer, name, n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

std::uint32_t GetLocalAddress() {
  char name[256] = {};
  std::uint32_t first = 0;
  std::uint32_t outside = 0;
  if (::gethostname(name, sizeof name - 1) == 0 && name[0] != '\0') {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &result) == 0) {
      for (addrinfo* a = result; a != nullptr && outside == 0; a = a->ai_next) {
        if (a->ai_family != AF_INET || a->ai_addr == nullptr) continue;
        std::uint32_t v = ntohl(reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr);
        if (first == 0) first = v;
        if (!isLoopback(v)) outside = v;
      }
      ::freeaddrinfo(result);
    }
  }
  if (outside != 0) return outside;
  if (std::uint32_t v = interfaceAddress(); v != 0) return v;
  return first;
}

char* FormatAddress(std::uint32_t address, char* buffer) {
  std::snprintf(buffer, 16, "%u.%u.%u.%u", (address >> 24) & 0xFFu, (address >> 16) & 0xFFu,
                (address >> 8) & 0xFFu, address & 0xFFu);
  return buffer;
}

std::string FormatAddress(std::uint32_t address) {
  char buf[16];
  return FormatAddress(address, buf);
}

std::optional<std::uint32_t> ParseAddress(const std::string& text) {
  std::uint32_t parts[4] = {0, 0, 0, 0};
  std::size_t i = 0;
  int count = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  while (count < 4) {
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
    std::uint32_t v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      v = v * 10 + static_cast<std::uint32_t>(text[i] - '0');
      if (v > 255) return std::nullopt;
      ++i;
    }
    parts[count++] = v;
    if (i < text.size() && text[i] == '.' && count < 4) {
      ++i;
      continue;
    }
    break;
  }
  while (i < text.size() && text[i] == ' ') ++i;
  if (i != text.size()) return std::nullopt;
  return (parts[0] << 24) | (parts[1] << 16) | (parts[2] << 8) | parts[3];
}

std::string jobHostName(const std::string& systemName) {
  std::string name = systemName.substr(0, std::min<std::size_t>(systemName.size(), 8));
  if (std::size_t dot = name.find('.'); dot != std::string::npos) name.resize(dot);
  return name;
}

}  // namespace hv::batchprint
