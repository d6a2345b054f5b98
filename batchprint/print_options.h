#pragma once
// The batch print options as the settings keep them, section
// "Batch Image Print". The viewer's settings class reads and writes them;
// the core only uses the values.
#include <string>

#include "platform/export.h"

namespace hv::batchprint {

inline constexpr const char* kOptionsSection = "Batch Image Print";

namespace key {
inline constexpr const char* kRemote = "Remote";
inline constexpr const char* kServerName = "ServerName";
inline constexpr const char* kServerAddress = "Server Address";
inline constexpr const char* kCopies = "Copies";
inline constexpr const char* kPlotter = "Plotter";
inline constexpr const char* kInvert = "Invert";
inline constexpr const char* kSize = "Size";
inline constexpr const char* kDataListName = "Data List Name";
inline constexpr const char* kDirectory = "Directory";
inline constexpr const char* kReserved1 = "Reserved_1";
inline constexpr const char* kSelectionFilters = "BatchSelectionFilters";
}  // namespace key

struct BatchPrintOptions {
  bool remote = false;
  std::string serverName;
  std::string serverAddress;  // "%u.%u.%u.%u"
  unsigned copies = 0;
  unsigned plotter = 0;
  bool invert = false;
  std::string size = "A";
  std::string dataListName = "Batch Print";
  std::string directory;  // empty: the user's home folder (defaultDirectory)
  std::string reserved1;
  std::string selectionFilters = "All Files (*.*)|*.*||";
};

// The folder the selection starts in when none is kept: $HOME, else "/";
// ends with '/'.
HV_EXPORT std::string defaultDirectory();

}  // namespace hv::batchprint
