#pragma once
// Handing files the viewer cannot show to the programs the desktop opens them
// with. Three launchers are asked in order: the word processor and the
// spreadsheet (LibreOffice, for documents of those kinds by content, when it
// is installed) and the desktop's default application for the file's type.
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace hv::desktop {

// Shows a message with a caption; the GUI shows a message box, tests collect.
using MessageSink = std::function<void(const QString& caption, const QString& text)>;

inline constexpr const char* kApplicationInterfaceError = "Application Interface Error";

class Launcher {
 public:
  virtual ~Launcher() = default;
  virtual bool canOpen(const QString& path) = 0;
  // flag: the caller's open flag (kept for the callers; no program here has
  // a use for it).
  virtual bool open(const QString& path, bool flag) = 0;
};

// The association object: created once by the application.
class FileAssociations {
 public:
  explicit FileAssociations(MessageSink sink = {});
  ~FileAssociations();
  FileAssociations(const FileAssociations&) = delete;
  FileAssociations& operator=(const FileAssociations&) = delete;

  // True when one of the launchers can open the file.
  bool IsAssociated(const QString& path);
  // The first launcher that can open the file opens it; true when started.
  bool LaunchAssociated(const QString& path, bool flag);

 private:
  MessageSink sink_;
  std::vector<std::unique_ptr<Launcher>> launchers_;
};

// Starts the PDF reader command (program and its own arguments, split as a
// command line without a shell; empty means xdg-open) with the path as one
// more argument. 1 when started, else 0.
int SendToAcrobat(const QString& path, const QString& reader);

// The MIME type the desktop gives the file (content and name), and the
// desktop entry `xdg-mime query default` names for it or for a type it
// derives from ("" when none).
QString mimeTypeOfFile(const QString& path);
QString defaultApplicationFor(const QString& path);

}  // namespace hv::desktop
