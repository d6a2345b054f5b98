#include "viewer/qa_commands.h"

#include <cstdio>
#include <sys/stat.h>

#include "records/qa_status.h"

namespace hv::viewer {

namespace {

bool isFolder(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string withFolder(const char* pattern, const std::string& folder) {
  std::string text;
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      text += folder;
      ++p;
    } else {
      text += *p;
    }
  }
  return text;
}

class StatusOfPrompts : public hv::records::StatusSink {
 public:
  explicit StatusOfPrompts(CommandPrompts& prompts) : prompts_(prompts) {}
  void showStatus(const std::string& text) override { prompts_.showStatus(text); }

 private:
  CommandPrompts& prompts_;
};

// The browser's answer checked; the question asked. True when the command is to go on.
bool chosenAndConfirmed(CommandPrompts& prompts, const std::optional<std::string>& chosen, const char* notValid,
                        const char* question) {
  if (!chosen) return false;
  if (!isFolder(*chosen)) {
    prompts.ask(notValid, PromptButtons::Ok, PromptIcon::Warning);
    return false;
  }
  return prompts.ask(withFolder(question, *chosen), PromptButtons::YesNo, PromptIcon::Question) == PromptAnswer::Yes;
}

}  // namespace

bool runMarkQaComplete(CommandPrompts& prompts, const std::optional<std::string>& chosen) {
  if (!chosenAndConfirmed(prompts, chosen, "A valid folder was not chosen for QA complete.",
                          "Are you sure you wish to mark the job in %s as being QA Complete?"))
    return false;
  // Failures to create the marker or to protect a file are not reported.
  (void)hv::records::markQaComplete(*chosen);
  return true;
}

bool runQaCleanup(CommandPrompts& prompts, const std::optional<std::string>& chosen) {
  if (!chosenAndConfirmed(prompts, chosen, "A valid folder was not chosen for QA cleanup.",
                          "Are you sure you wish to cleanup this directory %s?"))
    return false;
  StatusOfPrompts sink(prompts);
  (void)hv::records::cleanupFolder(*chosen, sink);
  return true;
}

bool imageQaLocked(int recordIndex, const std::string& folder, const std::string& imagePath) {
  return hv::records::isQaLocked(recordIndex, folder, imagePath);
}

}  // namespace hv::viewer
