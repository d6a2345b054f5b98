#include "viewer/tests/batch_print_support.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include "viewer/tests/viewer_fixture.h"

namespace hv::viewer::test {

std::string s(const QString& q) { return q.toLocal8Bit().toStdString(); }

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QString freshFolder(const QString& name) {
  QString dir = dataRoot() + name + "/";
  QDir(dir).removeRecursively();
  QDir().mkpath(dir);
  return dir;
}

FakeTessap::FakeTessap() : folder_(freshFolder("fake-tessap")), oldPath_(qgetenv("PATH")) {
  // The record is written under a temporary name and renamed, so the test
  // never reads half of it.
  const QByteArray script =
      "#!/bin/sh\n"
      "here=$(dirname \"$0\")\n"
      "printf '%s\\n' \"$@\" > \"$here/args.tmp\"\n"
      "list=''\n"
      "while [ $# -gt 0 ]; do [ \"$1\" = -b ] && list=$2; shift; done\n"
      "cp \"$list\" \"$here/list.copy\" 2>/dev/null\n"
      "mv \"$here/args.tmp\" \"$here/args.txt\"\n";
  writeAll(folder_ + "tessap", script);
  QFile::setPermissions(folder_ + "tessap", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("PATH", folder_.toLocal8Bit() + ":" + oldPath_);
}

FakeTessap::~FakeTessap() { qputenv("PATH", oldPath_); }

bool FakeTessap::waitForRun() {
  for (int i = 0; i < 500 && !QFile::exists(folder_ + "args.txt"); ++i) QTest::qWait(10);
  return QFile::exists(folder_ + "args.txt");
}

QStringList FakeTessap::arguments() const {
  QString all = QString::fromLocal8Bit(readAll(folder_ + "args.txt"));
  if (all.endsWith('\n')) all.chop(1);
  return all.split('\n');
}

QByteArray FakeTessap::list() const { return readAll(folder_ + "list.copy"); }

void FakeTessap::reset() {
  QFile::remove(folder_ + "args.txt");
  QFile::remove(folder_ + "list.copy");
}

}  // namespace hv::viewer::test
