#pragma once
// Scripted answers and a stand-in document for the deletion tests, and
// builders of real folders: aliased images with their records, FIFOs,
// sockets and links.
#include <deque>
#include <string>
#include <vector>

#include "viewer/deletion_ui.h"

namespace hv::viewer::test {

struct AskedPrompt {
  std::string text;
  PromptButtons buttons;
};

// Answers from a script, in order; when the script is empty, Yes to Yes/No
// questions and OK otherwise.
class ScriptedPrompts : public CommandPrompts {
 public:
  std::deque<PromptAnswer> script;
  std::vector<AskedPrompt> asked;
  std::vector<std::string> statuses;
  std::string status = "Ready";

  PromptAnswer ask(const std::string& text, PromptButtons buttons, PromptIcon) override;
  void showStatus(const std::string& text) override;
  std::string statusText() const override { return status; }
  bool saw(const std::string& part) const;
  std::string last() const { return asked.empty() ? std::string() : asked.back().text; }
};

class FakeDocument : public DeletionDocument {
 public:
  std::string path;
  bool modified = false;
  bool released = false, stepped = false, closed = false;
  bool hasNeighbour = false;
  std::vector<std::string> dropped;

  std::string storedPath() const override { return path; }
  bool isModified() const override { return modified; }
  void releaseImage() override { released = true; }
  bool hasNeighbourList() const override { return true; }
  void dropNeighbour(const std::string& name) override { dropped.push_back(name); }
  bool stepToNeighbour() override { return stepped = hasNeighbour; }
  void close() override { closed = true; }
};

// A folder of its own under the system's temporary directory, removed with
// everything in it (links removed, never followed) when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  const std::string& path() const { return path_; }  // ends with '/'
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

bool exists(const std::string& path);  // lstat: a dangling link exists
bool writeFile(const std::string& path, const std::string& content = "drawing");
bool makeFifo(const std::string& path);
// A bound UNIX socket; the descriptor is closed, the socket file stays.
bool makeSocket(const std::string& path);

// An image stored as shortName in folder with its DOCFILES.IDX, JMX.HOL
// (sequence number seq) and INDEX.HOL records; returns its long name
// (60 characters ending in the four-digit sequence number).
std::string makeAliasedImage(const std::string& folder, const std::string& shortName, int seq);
bool hasJmxRecord(const std::string& folder, const std::string& longName);
bool hasHollerithRecord(const std::string& folder, const std::string& longName);
bool hasAliasRecord(const std::string& folder, const std::string& longName);

}  // namespace hv::viewer::test
