#pragma once
// Starting other programs: always an argument vector handed to the program
// itself, never a command line for a shell.
#include <QString>
#include <QStringList>
#include <optional>

namespace hv::desktop {

struct StartResult {
  bool started = false;
  int error = 0;         // errno-style number when not started
  QString errorText;     // the system's text for it
};

// Starts program with arguments, detached from this process (it outlives us
// and is never waited for). A bare program name is looked up in PATH.
StartResult startProgram(const QString& program, const QStringList& arguments);

// Runs program with arguments and returns its standard output, or nothing
// when it cannot be run, fails, or takes longer than timeoutMs.
std::optional<QString> runForOutput(const QString& program, const QStringList& arguments, int timeoutMs = 5000);

// The absolute form of path, so that a file whose name starts with '-' can
// never be read as an option by the program it is handed to.
QString absoluteArgument(const QString& path);

}  // namespace hv::desktop
