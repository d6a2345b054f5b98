#pragma once
// A scratch directory for one test, removed with everything in it at the end.
#include <string>
#include <vector>

namespace hv::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Directory path ending with '/'.
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// Writes bytes to a file; fails the current test when it cannot.
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
// The names in a folder, sorted, without "." and "..".
std::vector<std::string> folderEntries(const std::string& dir);
// The st_mode of path itself (a symbolic link is not followed); fails the
// current test, and gives 0, when path cannot be examined.
unsigned fileMode(const std::string& path);

// Runs a shell command; returns its exit status (-1 when it could not run).
int runCommand(const std::string& command);
// True when an executable of that name is on PATH.
bool haveProgram(const std::string& name);

}  // namespace hv::test
