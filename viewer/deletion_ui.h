#pragma once
// What the deletion operations need from the program around them: questions
// and messages, the status bar, and the active document. The program answers
// with message boxes and its document; tests answer with scripted replies.
// Kept free of Qt so the operations can be driven without a window system.
#include <functional>
#include <string>

namespace hv::viewer {

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };
enum class PromptIcon { Information, Question, Warning };

class CommandPrompts {
 public:
  virtual ~CommandPrompts() = default;
  virtual PromptAnswer ask(const std::string& text, PromptButtons buttons, PromptIcon icon) = 0;
  virtual void showStatus(const std::string& text) = 0;
  virtual std::string statusText() const = 0;
};

// The active document as deletion sees it.
class DeletionDocument {
 public:
  virtual ~DeletionDocument() = default;
  // The stored path of the image shown (its short name for an aliased
  // file); empty when the document holds no file.
  virtual std::string storedPath() const = 0;
  virtual bool isModified() const = 0;
  // Closes the image so that its file is no longer open.
  virtual void releaseImage() = 0;
  virtual bool hasNeighbourList() const = 0;
  // Removes the first entry equal to name ignoring case and recomputes next
  // and previous.
  virtual void dropNeighbour(const std::string& name) = 0;
  // Opens the next (else the previous) file; false when there is none.
  virtual bool stepToNeighbour() = 0;
  virtual void close() = 0;
};

struct DeletionContext {
  CommandPrompts& prompts;
  // The active document, or null.
  std::function<DeletionDocument*()> activeDocument;
  bool deleteAsksToConfirm = true;  // the DeleteAsksToConfirm setting

  DeletionDocument* active() const { return activeDocument ? activeDocument() : nullptr; }
};

}  // namespace hv::viewer
