#include "viewer/tests/deletion_support.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "docindex/docfiles_cache.h"
#include "docindex/docfiles_store.h"
#include "platform/name_lookup.h"
#include "records/hollrec.h"
#include "records/jmxholl.h"
#include "viewer/folder_deletion.h"

namespace hv::viewer::test {

PromptAnswer ScriptedPrompts::ask(const std::string& text, PromptButtons buttons, PromptIcon) {
  asked.push_back({text, buttons});
  if (!script.empty()) {
    PromptAnswer a = script.front();
    script.pop_front();
    return a;
  }
  return buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel ? PromptAnswer::Yes
                                                                                   : PromptAnswer::Ok;
}

void ScriptedPrompts::showStatus(const std::string& text) {
  status = text;
  statuses.push_back(text);
}

bool ScriptedPrompts::saw(const std::string& part) const {
  for (const AskedPrompt& p : asked)
    if (p.text.find(part) != std::string::npos) return true;
  return false;
}

ScratchFolder::ScratchFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/hv-deletion-XXXXXX";
  if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern + "/";
}

ScratchFolder::~ScratchFolder() {
  if (!path_.empty()) (void)removeFolderRecursively(path_);
}

bool exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

bool writeFile(const std::string& path, const std::string& content) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  bool ok = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
  return ::close(fd) == 0 && ok;
}

bool makeFifo(const std::string& path) { return ::mkfifo(path.c_str(), 0644) == 0; }

bool makeSocket(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return ok;
}

std::string makeAliasedImage(const std::string& folder, const std::string& shortName, int seq) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%04d", seq);
  std::string longName = "DRAWING-" + shortName.substr(0, shortName.find('.'));
  longName.resize(60, 'L');
  longName += digits;
  if (!writeFile(folder + shortName)) return {};
  if (hv::docindex::appendRecord(folder, longName, shortName, 'W') != hv::Status::Ok) return {};
  JedmicsHollRec jmx;
  if (jmxholl_InitRecord(&jmx) != 1 || jmxholl_WriteJmxRec(folder.c_str(), &jmx, seq) != 1) return {};
  RecordHollerith holl;
  if (hollrec_XlateLongNameToRec(longName.c_str(), &holl) != 1) return {};
  const std::string index = folder + hollrec_GetHollerithFileName();
  if (!exists(index) && !writeFile(index, "")) return {};
  if (hollrec_AppendHollRec(&holl, folder.c_str()) != 2) return {};
  return longName;
}

bool hasJmxRecord(const std::string& folder, const std::string& longName) {
  JedmicsHollRec out;
  return jmxholl_FindRecUsingLongName(folder.c_str(), longName.c_str(), &out) >= 0;
}

bool hasHollerithRecord(const std::string& folder, const std::string& longName) {
  RecordHollerith out;
  return hollrec_FindRecUsingLongName(folder.c_str(), longName.c_str(), &out) >= 0;
}

bool hasAliasRecord(const std::string& folder, const std::string& longName) {
  hv::docindex::RecordList records;
  bool present = false;
  if (hv::docindex::readIndexFresh(folder + "DOCFILES.IDX", records, present) != hv::Status::Ok) return false;
  for (const auto& r : records)
    if (hv::platform::equalsIgnoringCase(r.longName(), longName)) return true;
  return false;
}

}  // namespace hv::viewer::test
