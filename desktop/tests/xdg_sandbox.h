#pragma once
// A private desktop for one test: XDG data and configuration folders in a
// temporary directory, the generic (no desktop environment) mode of
// xdg-utils, test programs that record the arguments they were started
// with, and the test's working directory inside the sandbox.
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <string>

#include "tests/support/temp_dir.h"

namespace hv::desktop::test {

class XdgSandbox {
 public:
  XdgSandbox();
  ~XdgSandbox();
  XdgSandbox(const XdgSandbox&) = delete;
  XdgSandbox& operator=(const XdgSandbox&) = delete;

  QString path(const QString& relative = {}) const;
  QString dataHome() const { return path("data"); }
  QString configHome() const { return path("config"); }

  // A program bin/NAME on PATH that records its arguments.
  QString addRecorder(const QString& name);
  // A desktop entry NAME.desktop running recorder NAME with %f, made the
  // default for the given MIME type in the user's mimeapps.list.
  void addDefaultApplication(const QString& name, const QString& mimeType);
  // The arguments recorder NAME was started with, waiting up to 10 s for
  // them; nullopt when it was not started.
  std::optional<QStringList> recordedArguments(const QString& name, int waitMs = 10000) const;
  // Writes a file (creating its folder) and returns its absolute path.
  QString writeFile(const QString& relative, const QByteArray& bytes) const;

 private:
  hv::test::TempDir dir_;
  std::map<std::string, std::optional<std::string>> savedEnv_;
  QString savedCwd_;
  void setEnv(const char* name, const std::optional<QString>& value);
};

}  // namespace hv::desktop::test
