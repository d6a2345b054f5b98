#include "desktop/associations.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include "desktop/launch_process.h"

namespace hv::desktop {
namespace {

// Document kinds that go to LibreOffice: the type from the file's content
// must be, or derive from, one of these.
const QStringList kWordProcessorTypes = {
    "application/msword",
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document",
    "application/vnd.openxmlformats-officedocument.wordprocessingml.template",
    "application/vnd.ms-word.document.macroenabled.12",
    "application/vnd.oasis.opendocument.text",
    "application/vnd.oasis.opendocument.text-template",
    "application/rtf",
};
const QStringList kSpreadsheetTypes = {
    "application/vnd.ms-excel",
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
    "application/vnd.openxmlformats-officedocument.spreadsheetml.template",
    "application/vnd.ms-excel.sheet.macroenabled.12",
    "application/vnd.oasis.opendocument.spreadsheet",
    "application/vnd.oasis.opendocument.spreadsheet-template",
};

bool isOneOf(const QMimeType& type, const QStringList& names) {
  for (const QString& name : names)
    if (type.inherits(name)) return true;
  return false;
}

// Word processor or spreadsheet by what the file holds: the name alone never
// decides, so a document under an unknown extension still qualifies. When
// the content is not specific enough (an OLE2 container or a ZIP), the type
// by name may refine it only within the same container.
bool fileIsOfKind(const QString& path, const QStringList& kind) {
  QMimeDatabase db;
  QMimeType byContent = db.mimeTypeForFile(path, QMimeDatabase::MatchContent);
  if (isOneOf(byContent, kind)) return true;
  QMimeType byName = db.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
  return isOneOf(byName, kind) && !byContent.isDefault() && byName.inherits(byContent.name());
}

class OfficeLauncher : public Launcher {
 public:
  OfficeLauncher(QStringList kind, QString option, QString program, MessageSink& sink)
      : kind_(std::move(kind)), option_(std::move(option)), program_(std::move(program)), sink_(sink) {}

  bool canOpen(const QString& path) override {
    return available_ && !QStandardPaths::findExecutable("soffice").isEmpty() && fileIsOfKind(path, kind_);
  }

  bool open(const QString& path, bool) override {
    StartResult r = startProgram("soffice", {option_, absoluteArgument(path)});
    if (r.started) return true;
    sink_(kApplicationInterfaceError, QString("Run-time error %1:\n\n %2").arg(r.error).arg(r.errorText));
    sink_(kApplicationInterfaceError,
          QString("Microsoft %1 will not be available\ndue to the previous API error.").arg(program_));
    // As with an automation server that cannot be started: no further
    // attempts for the life of the association object.
    available_ = false;
    return false;
  }

 private:
  QStringList kind_;
  QString option_, program_;
  MessageSink& sink_;
  bool available_ = true;
};

QString defaultApplicationForType(const QMimeType& type) {
  if (!type.isValid() || type.isDefault()) return {};
  QStringList candidates{type.name()};
  candidates += type.allAncestors();
  for (const QString& name : candidates) {
    if (name == "application/octet-stream") break;
    QString entry = runForOutput("xdg-mime", {"query", "default", name}).value_or(QString()).trimmed();
    if (entry.endsWith(".desktop")) return entry;
  }
  return {};
}

class DesktopDefaultLauncher : public Launcher {
 public:
  // Building a folder's neighbour list asks about every file in it; the
  // answer for a type is kept for a few seconds, so a folder of a thousand
  // files of one type asks the desktop once, while a choice the user makes
  // later is still seen.
  bool canOpen(const QString& path) override {
    QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    auto known = answers_.constFind(type.name());
    if (known != answers_.constEnd() && clock_.isValid() && clock_.elapsed() - known->second < kKeepMs)
      return known->first;
    if (!clock_.isValid()) clock_.start();
    bool associated = !defaultApplicationForType(type).isEmpty();
    answers_.insert(type.name(), {associated, clock_.elapsed()});
    return associated;
  }
  bool open(const QString& path, bool) override { return startProgram("xdg-open", {absoluteArgument(path)}).started; }

 private:
  static constexpr qint64 kKeepMs = 5000;
  QHash<QString, std::pair<bool, qint64>> answers_;
  QElapsedTimer clock_;
};

void showBox(const QString& caption, const QString& text) {
  QMessageBox::warning(nullptr, caption, text, QMessageBox::Ok);
}

}  // namespace

QString mimeTypeOfFile(const QString& path) { return QMimeDatabase().mimeTypeForFile(path).name(); }

QString defaultApplicationFor(const QString& path) {
  return defaultApplicationForType(QMimeDatabase().mimeTypeForFile(path));
}

FileAssociations::FileAssociations(MessageSink sink) {
  // The launchers refer to the sink, which lives as long as they do.
  sink_ = sink ? std::move(sink) : MessageSink(showBox);
  launchers_.push_back(std::make_unique<OfficeLauncher>(kWordProcessorTypes, "--writer", "Word", sink_));
  launchers_.push_back(std::make_unique<OfficeLauncher>(kSpreadsheetTypes, "--calc", "Excel", sink_));
  launchers_.push_back(std::make_unique<DesktopDefaultLauncher>());
}

FileAssociations::~FileAssociations() = default;

bool FileAssociations::IsAssociated(const QString& path) {
  for (auto& launcher : launchers_)
    if (launcher->canOpen(path)) return true;
  return false;
}

bool FileAssociations::LaunchAssociated(const QString& path, bool flag) {
  for (auto& launcher : launchers_)
    if (launcher->canOpen(path)) return launcher->open(path, flag);
  return false;
}

int SendToAcrobat(const QString& path, const QString& reader) {
  QStringList command = QProcess::splitCommand(reader);
  if (command.isEmpty()) command = {"xdg-open"};
  QString program = command.takeFirst();
  command << absoluteArgument(path);
  return startProgram(program, command).started ? 1 : 0;
}

}  // namespace hv::desktop
