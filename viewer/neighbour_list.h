#pragma once
// The next/previous list of a document: the openable files of the image's
// folder in enumeration order, kept while no file name in the folder changes.
#include <functional>
#include <string>
#include <vector>

#include "platform/dir_watch.h"

namespace hv::viewer {

struct NeighbourPolicy {
  bool typeCheck = true;                     // TypeCheckImages
  std::vector<std::string> excludedEndings;  // ".xml", ".hol", ...
  // An application is associated with the file (unknown kinds only).
  std::function<bool(const std::string& path)> associated;
};

class NeighbourList {
 public:
  // Computes next and previous of `path` (folder ending with '/' + name),
  // from the cached list while it is valid, else from a fresh enumeration.
  void build(const std::string& folder, const std::string& name, const NeighbourPolicy& policy);

  // A list given from outside (an Open selection): valid until the folder changes.
  void adopt(const std::string& folder, std::vector<std::string> names);
  void clear();
  void closeWatch() { watch_.close(); }

  // Appends a name unless present (ignoring case).
  void addName(const std::string& name);
  // Removes the first entry equal to name ignoring case; false when absent.
  bool removeName(const std::string& name);
  // After the current file was deleted: corrects next and previous.
  void recomputeAfterDelete(const std::string& folder, const std::string& currentName);

  const std::vector<std::string>& names() const { return names_; }
  const std::string& next() const { return next_; }
  const std::string& previous() const { return previous_; }
  bool empty() const { return names_.empty(); }
  // How often the folder was enumerated (tests and benchmarks).
  int enumerations() const { return enumerations_; }

 private:
  int find(const std::string& name) const;
  void enumerate(const std::string& folder, const std::string& name, const NeighbourPolicy& policy);

  std::vector<std::string> names_;
  std::string next_, previous_;
  std::string watchedFolder_;
  hv::platform::DirWatch watch_;
  int enumerations_ = 0;
};

bool equalsIgnoringCase(const std::string& a, const std::string& b);
bool endsWithIgnoringCase(const std::string& text, const std::string& ending);
std::string upper(std::string text);

}  // namespace hv::viewer
