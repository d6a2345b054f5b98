#include "viewer/tests/viewer_fixture.h"

#include <QDir>
#include <QFile>

#include "viewer/user_prompt.h"

namespace hv::viewer::test {

namespace {
QString& root() {
  static QString r;
  return r;
}
}  // namespace

void isolateEnvironment(const QString& base) {
  root() = base;
  for (const char* d : {"home", "config", "cache", "tmp", "data"}) QDir().mkpath(base + "/" + d);
  qputenv("HOME", (base + "/home").toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", (base + "/config").toLocal8Bit());
  qputenv("XDG_CACHE_HOME", (base + "/cache").toLocal8Bit());
  qputenv("TMPDIR", (base + "/tmp").toLocal8Bit());
  // A desktop of its own: no application is the default for any file type
  // unless a test makes it so; the system's MIME database stays readable.
  for (const char* d : {"data-home/applications", "sysconfig", "sysdata"}) QDir().mkpath(base + "/" + d);
  QFile::link("/usr/share/mime", base + "/sysdata/mime");
  qputenv("XDG_DATA_HOME", (base + "/data-home").toLocal8Bit());
  qputenv("XDG_DATA_DIRS", (base + "/sysdata").toLocal8Bit());
  qputenv("XDG_CONFIG_DIRS", (base + "/sysconfig").toLocal8Bit());
  qputenv("XDG_CURRENT_DESKTOP", "X-Generic");
}

QString dataRoot() { return root() + "/data/"; }

void Prompts::install() {
  setPromptAnswerer([this](const QString& text, QMessageBox::StandardButtons buttons) {
    texts << text;
    if (buttons & answer) return answer;
    return QMessageBox::Ok;
  });
}

bool Prompts::saw(const QString& part) const {
  for (const QString& t : texts)
    if (t.contains(part)) return true;
  return false;
}

}  // namespace hv::viewer::test
