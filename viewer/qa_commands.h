#pragma once
// The folder-wide QA commands: Mark QA Complete and Cleanup, after the user
// chose a folder, and the QA lock that protects an image from change.
#include <optional>
#include <string>

#include "viewer/deletion_ui.h"

namespace hv::viewer {

// chosen: the folder picked in the browser; nullopt when it was cancelled.
// Both stop silently on a cancelled browser, say so for something that is not
// a folder, and ask before they act. True when the work was done.
bool runMarkQaComplete(CommandPrompts& prompts, const std::optional<std::string>& chosen);
bool runQaCleanup(CommandPrompts& prompts, const std::optional<std::string>& chosen);

// The lock of an image: recordIndex is the document's Hollerith record index
// (-1 when none), folder the directory of the image and of its INDEX.HOL,
// imagePath its stored path (empty when the document holds no file).
bool imageQaLocked(int recordIndex, const std::string& folder, const std::string& imagePath);

}  // namespace hv::viewer
