#include "viewer/image_deletion.h"

#include <unistd.h>

#include "docindex/docfiles_fileops.h"
#include "docindex/docfiles_translate.h"
#include "platform/name_lookup.h"
#include "records/hollrec.h"
#include "records/jmxholl.h"

namespace hv::viewer {

namespace {

constexpr const char* kIndent = "\n\n        ";

bool sameFile(const std::string& a, const std::string& b) { return hv::platform::equalsIgnoringCase(a, b); }

std::string storedPathOf(const std::string& longPath) {
  auto t = hv::docindex::translateToShort(longPath);
  return t ? t->path : longPath;
}

// Shows a failure with OK and Cancel; Cancel stops the batch.
void reportFailure(DeletionContext& ctx, const std::string& text, int& cancel) {
  if (ctx.prompts.ask(text, PromptButtons::OkCancel, PromptIcon::Warning) == PromptAnswer::Cancel) cancel = 1;
}

bool confirm(DeletionContext& ctx, const std::string& text, int& cancel) {
  if (ctx.prompts.ask(text, PromptButtons::OkCancel, PromptIcon::Question) != PromptAnswer::Cancel) return true;
  cancel = 1;
  return false;
}

// Removes the deleted file's entry from the active document's next/previous
// list when the list is of the file's folder.
void correctNeighbours(DeletionContext& ctx, const std::string& storedPath, const std::string& longPath) {
  DeletionDocument* doc = ctx.active();
  if (doc == nullptr || !doc->hasNeighbourList()) return;
  std::string docFolder, docName, folder, name, longFolder, longName;
  hv::docindex::splitPath(doc->storedPath(), docFolder, docName);
  hv::docindex::splitPath(storedPath, folder, name);
  if (!doc->storedPath().empty() && !sameFile(docFolder, folder)) return;
  doc->dropNeighbour(name);
  hv::docindex::splitPath(longPath, longFolder, longName);
  if (!sameFile(longName, name)) doc->dropNeighbour(longName);
}

}  // namespace

std::string longPathOf(const std::string& storedPath) {
  auto t = hv::docindex::translateToLong(storedPath);
  return t ? t->path : storedPath;
}

int DeleteImageFile(DeletionContext& ctx, std::string& path, int& cancel, bool ask, bool report, bool routeActive) {
  if (path.empty()) return 0;
  const std::string stored = storedPathOf(path);

  DeletionDocument* doc = ctx.active();
  bool isActive = false;
  if (doc != nullptr && !doc->storedPath().empty() &&
      (sameFile(doc->storedPath(), stored) || sameFile(doc->storedPath(), path))) {
    if (routeActive) return DeleteActiveImage(ctx, *doc, cancel);
    isActive = true;
  }

  std::string longFolder, longName, shortFolder, shortName;
  hv::docindex::splitPath(path, longFolder, longName);
  hv::docindex::splitPath(stored, shortFolder, shortName);

  if (shortName != longName) {
    if (ask && !confirm(ctx, "Are you sure you want to delete" + std::string(kIndent) + shortName +
                                 " in the directory \n\n" + shortFolder + " ?",
                        cancel))
      return 0;
    if (isActive) doc->releaseImage();
    if (hv::docindex::deleteLongFile(path, stored.c_str()) != 0) {
      if (report) reportFailure(ctx, "Unable to delete " + stored, cancel);
      return 0;
    }
    // The file is gone: its records follow. A record that is missing or
    // cannot be removed does not bring the file back, so these results only
    // tell what happened.
    int jmxIndex = -1;
    (void)jmxholl_FindAndDelRec(longFolder.c_str(), longName.c_str(), &jmxIndex);
    (void)hv::records::dropRecordOfDeletedImage(longFolder.c_str(), longName.c_str());
  } else {
    if (ask && !confirm(ctx, "Are you sure you want to delete" + std::string(kIndent) + path + " ?", cancel)) return 0;
    if (isActive) doc->releaseImage();
    if (::unlink(stored.c_str()) != 0) {
      if (report) reportFailure(ctx, "Unable to delete " + path, cancel);
      return 0;
    }
  }
  correctNeighbours(ctx, stored, path);
  return 1;
}

int DeleteActiveImage(DeletionContext& ctx, DeletionDocument& doc, int& cancel) {
  std::string path = longPathOf(doc.storedPath());
  if (path.empty()) return 1;
  bool ask = ctx.deleteAsksToConfirm;
  if (doc.isModified()) {
    if (ctx.prompts.ask("WARNING:  You are about to delete an image that has been edited!\nDo you want to continue?",
                        PromptButtons::YesNo, PromptIcon::Warning) != PromptAnswer::Yes)
      return 1;
    ask = false;
  }
  int result = DeleteImageFile(ctx, path, cancel, ask, true, false);
  if (cancel == 0 && !doc.stepToNeighbour()) doc.close();
  return result;
}

}  // namespace hv::viewer
