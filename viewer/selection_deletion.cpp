#include "viewer/selection_deletion.h"

#include <cstdio>
#include <sys/stat.h>

#include "docindex/docfiles_translate.h"
#include "viewer/folder_deletion.h"
#include "viewer/image_deletion.h"

namespace hv::viewer {

namespace {

std::string formatCount(const char* pattern, int a, int b = 0) {
  char text[128];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

bool isHidden(const std::string& path) {
  std::string folder, name;
  hv::docindex::splitPath(path, folder, name);
  return !name.empty() && name[0] == '.';
}

// One file of the batch: the attribute questions, then the deletion.
bool deleteOneFile(DeletionContext& ctx, const std::string& stored, const struct stat& st, int& cancel) {
  std::string path = longPathOf(stored);
  CommandPrompts& p = ctx.prompts;
  if (isHidden(stored)) {
    PromptAnswer a = p.ask("The file:  " + path + "\nis a hidden DOS file.\n\nDo you want to Delete it?",
                           PromptButtons::YesNoCancel, PromptIcon::Question);
    if (a == PromptAnswer::Cancel) cancel = 1;
    if (a != PromptAnswer::Yes) return false;
  }
  // A system file stays even when the user agreed to delete it as hidden.
  if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
    if (p.ask("The file:  " + path + "\nis a DOS system file and cannot be deleted!", PromptButtons::OkCancel,
              PromptIcon::Warning) == PromptAnswer::Cancel)
      cancel = 1;
    return false;
  }
  if (!isHidden(stored) && S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    PromptAnswer a = p.ask("The file " + path + " is read-only.\nDo you want to delete it?",
                           PromptButtons::YesNoCancel, PromptIcon::Question);
    if (a == PromptAnswer::Cancel) cancel = 1;
    if (a != PromptAnswer::Yes) return false;
    if (::chmod(stored.c_str(), (st.st_mode & 07777) | S_IRUSR | S_IWUSR) != 0) {
      if (p.ask("Unable to change read-only attribute for " + path, PromptButtons::OkCancel, PromptIcon::Warning) ==
          PromptAnswer::Cancel)
        cancel = 1;
      return false;
    }
  }
  return DeleteImageFile(ctx, path, cancel, false, true, true) == 1;
}

}  // namespace

SelectionDeletionResult deleteSelection(DeletionContext& ctx, const std::vector<std::string>& storedPaths) {
  SelectionDeletionResult result;
  int cancel = 0;
  const int n = static_cast<int>(storedPaths.size());
  if (ctx.prompts.ask(formatCount("Do you wish to continue with deletion of these %d object(s)?", n),
                      PromptButtons::YesNo, PromptIcon::Question) != PromptAnswer::Yes)
    cancel = 1;

  const std::string saved = ctx.prompts.statusText();
  for (int i = 0; i < n && cancel == 0; ++i) {
    const std::string& stored = storedPaths[std::size_t(i)];
    if (stored.empty()) continue;
    ctx.prompts.showStatus(formatCount("Deleting object %d of %d", i + 1, n));
    struct stat st {};
    if (::lstat(stored.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      const std::string path = longPathOf(stored);
      if (DeleteFolder(ctx, path, cancel) == 1) {
        struct stat after {};
        if (::lstat(stored.c_str(), &after) != 0) ++result.deleted;
      } else if (cancel == 0) {
        ctx.prompts.ask("The Directory:\n    " + path + "\nwas not fully deleted due to an error", PromptButtons::Ok,
                        PromptIcon::Warning);
      }
    } else {
      // The active-image route may decline without removing anything.
      struct stat after {};
      if (deleteOneFile(ctx, stored, st, cancel) && ::lstat(stored.c_str(), &after) != 0) ++result.deleted;
    }
  }
  if (cancel != 0) {
    result.cancelled = true;
    ctx.prompts.ask("This Delete Operation was Cancelled", PromptButtons::Ok, PromptIcon::Information);
  }
  ctx.prompts.showStatus(saved);
  return result;
}

}  // namespace hv::viewer
