#include "desktop/tests/xdg_sandbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cstdlib>
#include <unistd.h>

namespace hv::desktop::test {

XdgSandbox::XdgSandbox() {
  QDir root(path());
  for (const char* sub : {"data/applications", "config", "sysconfig", "bin", "work"}) root.mkpath(sub);
  setEnv("XDG_DATA_HOME", dataHome());
  setEnv("XDG_CONFIG_HOME", configHome());
  setEnv("XDG_CONFIG_DIRS", path("sysconfig"));
  setEnv("XDG_CURRENT_DESKTOP", QString("X-Generic"));
  for (const char* name : {"KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID",
                           "DESKTOP_SESSION", "BROWSER", "WAYLAND_DISPLAY"})
    setEnv(name, std::nullopt);
  // xdg-open hands files to desktop entries only when it sees a display; the
  // recorders never open a window, so a name is enough.
  setEnv("DISPLAY", QString(":97"));
  const char* oldPath = std::getenv("PATH");
  setEnv("PATH", path("bin") + ":" + QString::fromLocal8Bit(oldPath ? oldPath : "/usr/bin:/bin"));
  savedCwd_ = QDir::currentPath();
  QDir::setCurrent(path("work"));
}

XdgSandbox::~XdgSandbox() {
  QDir::setCurrent(savedCwd_);
  for (auto& [name, value] : savedEnv_) {
    if (value)
      ::setenv(name.c_str(), value->c_str(), 1);
    else
      ::unsetenv(name.c_str());
  }
}

void XdgSandbox::setEnv(const char* name, const std::optional<QString>& value) {
  if (!savedEnv_.count(name)) {
    const char* old = std::getenv(name);
    savedEnv_[name] = old ? std::optional<std::string>(old) : std::nullopt;
  }
  if (value)
    ::setenv(name, value->toLocal8Bit().constData(), 1);
  else
    ::unsetenv(name);
}

QString XdgSandbox::path(const QString& relative) const {
  QString root = QString::fromStdString(dir_.path());
  root.chop(1);
  return relative.isEmpty() ? root : root + "/" + relative;
}

QString XdgSandbox::addRecorder(const QString& name) {
  QString program = path("bin/" + name);
  QString record = path(name + ".args");
  // Arguments separated by NUL bytes, written under another name and moved
  // into place, so a reader never sees half a record.
  writeFile("bin/" + name, QString("#!/bin/sh\nprintf '%s\\0' \"$@\" > '%1.part' && mv '%1.part' '%1'\n")
                               .arg(record)
                               .toUtf8());
  QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return program;
}

void XdgSandbox::addDefaultApplication(const QString& name, const QString& mimeType) {
  QString program = addRecorder(name);
  writeFile("data/applications/" + name + ".desktop",
            QString("[Desktop Entry]\nType=Application\nName=%1\nExec=%2 %f\nMimeType=%3;\n")
                .arg(name, program, mimeType)
                .toUtf8());
  QFile list(configHome() + "/mimeapps.list");
  bool fresh = !list.exists();
  list.open(QIODevice::Append);
  if (fresh) list.write("[Default Applications]\n");
  list.write(QString("%1=%2.desktop\n").arg(mimeType, name).toUtf8());
}

std::optional<QStringList> XdgSandbox::recordedArguments(const QString& name, int waitMs) const {
  QFile record(path(name + ".args"));
  QElapsedTimer timer;
  timer.start();
  while (!record.exists()) {
    if (timer.elapsed() > waitMs) return std::nullopt;
    QThread::msleep(20);
  }
  record.open(QIODevice::ReadOnly);
  QByteArray bytes = record.readAll();
  QStringList out;
  if (bytes.isEmpty()) return out;
  bytes.chop(1);
  for (const QByteArray& arg : bytes.split('\0')) out << QString::fromUtf8(arg);
  return out;
}

QString XdgSandbox::writeFile(const QString& relative, const QByteArray& bytes) const {
  QString full = path(relative);
  QDir().mkpath(QFileInfo(full).absolutePath());
  QFile file(full);
  file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  file.write(bytes);
  return full;
}

}  // namespace hv::desktop::test
