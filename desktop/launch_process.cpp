#include "desktop/launch_process.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>

namespace hv::desktop {

StartResult startProgram(const QString& program, const QStringList& arguments) {
  StartResult result;
  QString resolved = program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
  if (resolved.isEmpty() || !QFileInfo(resolved).isExecutable()) {
    result.error = program.contains(QLatin1Char('/')) && QFileInfo::exists(program) ? EACCES : ENOENT;
    result.errorText = QString::fromLocal8Bit(std::strerror(result.error));
    return result;
  }
  QProcess process;
  process.setProgram(resolved);
  process.setArguments(arguments);
  process.setStandardInputFile(QProcess::nullDevice());
  if (process.startDetached()) {
    result.started = true;
    return result;
  }
  result.error = EIO;
  result.errorText = process.errorString();
  return result;
}

std::optional<QString> runForOutput(const QString& program, const QStringList& arguments, int timeoutMs) {
  QProcess process;
  process.setStandardInputFile(QProcess::nullDevice());
  process.start(program, arguments, QIODevice::ReadOnly);
  if (!process.waitForStarted(timeoutMs)) return std::nullopt;
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished(1000);
    return std::nullopt;
  }
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return std::nullopt;
  return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QString absoluteArgument(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

}  // namespace hv::desktop
