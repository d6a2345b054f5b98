#include "viewer/viewer_settings.h"

#include <QDir>
#include <QSettings>

#include "viewer/user_prompt.h"

namespace hv::viewer {

namespace {
QString groupKey(const QString& section, const QString& key) { return section + "/" + key; }
}  // namespace

QString withSlash(const QString& path) { return path.isEmpty() || path.endsWith('/') ? path : path + '/'; }

QString defaultImageQueueDir() { return withSlash(QDir::homePath()) + "Halvor Viewer Image Queue/"; }

CViewerSettings::CViewerSettings() : store_(std::make_unique<QSettings>("Halvor", "Viewer")) {}

CViewerSettings::CViewerSettings(const QString& iniFile)
    : store_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

CViewerSettings::~CViewerSettings() = default;

QString CViewerSettings::defaultFor(const StringKey& key) const {
  if (key.section == std::string_view(kEmbeddedSection)) {
    if (key.name == std::string_view("SheetWidth")) return "8.5";
    if (key.name == std::string_view("SheetHeight")) return "11";
    if (key.name == std::string_view("GridUnit")) return ".5";
  }
  switch (key.fallback) {
    case PathDefault::ViewerDir: return viewerDir_;
    case PathDefault::QueueImages: return withSlash(queueDir_) + "IMAGES/";
    case PathDefault::Queue: return queueDir_;
    case PathDefault::PdfViewer: return "xdg-open";
    case PathDefault::Filters: return "All Files (*.*)|*.*||";
    case PathDefault::Empty: break;
  }
  return {};
}

QString CViewerSettings::readString(const QString& section, const QString& key, const QString& fallback) const {
  if (!store_ || store_->status() == QSettings::AccessError) return fallback;
  QVariant v = store_->value(groupKey(section, key));
  if (!v.isValid()) return fallback;
  return v.toString();
}

int CViewerSettings::readInt(const QString& section, const QString& key, int fallback) const {
  QString text = readString(section, key, QString());
  if (text.isNull()) return fallback;
  bool ok = false;
  int value = text.trimmed().toInt(&ok);
  return ok ? value : fallback;
}

void CViewerSettings::writeString(const QString& section, const QString& key, const QString& value) {
  if (store_ && store_->isWritable()) store_->setValue(groupKey(section, key), value);
}

void CViewerSettings::writeInt(const QString& section, const QString& key, int value) {
  if (store_ && store_->isWritable()) store_->setValue(groupKey(section, key), value);
}

int CViewerSettings::read(const IntKey& key) const {
  int v = readInt(key.section, key.name, key.fallback);
  return key.sixteenBits ? int(std::int16_t(v)) : v;
}

QString CViewerSettings::read(const StringKey& key) const {
  return readString(key.section, key.name, defaultFor(key));
}

void CViewerSettings::write(const IntKey& key, int value) { writeInt(key.section, key.name, value); }
void CViewerSettings::write(const StringKey& key, const QString& value) {
  writeString(key.section, key.name, value);
}

QStringList CViewerSettings::loadList(const QString& section, const QString& name) const {
  QStringList out;
  int count = readInt(section, name + "_Counter", 0);
  for (int i = 0; i < count && i < 100000; ++i) {
    QString entry = readString(section, QString("%1_%2").arg(name).arg(i), QString());
    if (!entry.isEmpty()) out << entry;
  }
  return out;
}

void CViewerSettings::saveList(const QString& section, const QString& name, const QStringList& entries) {
  int old = readInt(section, name + "_Counter", 0);
  writeInt(section, name + "_Counter", 0);
  for (int i = 0; i < old && i < 100000; ++i) writeString(section, QString("%1_%2").arg(name).arg(i), QString());
  for (int i = 0; i < entries.size(); ++i) writeString(section, QString("%1_%2").arg(name).arg(i), entries[i]);
  writeInt(section, name + "_Counter", int(entries.size()));
}

EmbeddedSheetOptions CViewerSettings::loadEmbedded() const {
  EmbeddedSheetOptions o;
  auto number = [this](const StringKey& key, double fallback) {
    bool ok = false;
    double v = read(key).trimmed().toDouble(&ok);
    return ok ? v : fallback;
  };
  o.pageCount = read(keys::PageCount);
  o.sheetWidth = number(keys::SheetWidth, 8.5);
  o.sheetHeight = number(keys::SheetHeight, 11.0);
  o.popupInfo = read(keys::PopupEmbedInfoWhenExtracting);
  o.snapToGrid = read(keys::SnapToGrid);
  o.gridUnit = number(keys::GridUnit, 0.5);
  return o;
}

void CViewerSettings::saveEmbedded(const EmbeddedSheetOptions& o) {
  write(keys::PageCount, o.pageCount);
  write(keys::SheetWidth, QString::number(o.sheetWidth));
  write(keys::SheetHeight, QString::number(o.sheetHeight));
  write(keys::PopupEmbedInfoWhenExtracting, o.popupInfo);
  write(keys::SnapToGrid, o.snapToGrid);
  write(keys::GridUnit, QString::number(o.gridUnit));
}

ViewerSettingsValues CViewerSettings::loadAll() const {
  ViewerSettingsValues v;
  v.initialPath = read(keys::InitialPath);
  v.batchPrintPath = read(keys::BatchPrintPath);
  if (!v.batchPrintPath.isEmpty() && !QDir(v.batchPrintPath).exists() && !QDir().mkpath(v.batchPrintPath))
    showMessage(QString("Unable to create the initial directory:  %1.  Please call Halvor Help Desk.")
                    .arg(v.batchPrintPath));
  v.blipPath = read(keys::BlipPath);
  v.cardwrightPath = read(keys::CardwrightPath);
  v.tempDirPath = read(keys::TempDirPath);
  v.fileListSort = read(keys::FileListSort);
  if (v.fileListSort < 0 || v.fileListSort > 2) v.fileListSort = 0;
  v.typeCheckImages = read(keys::TypeCheckImages);
  v.allowErrorsInHollerith = read(keys::AllowErrorsInHollerith);
  v.leftButtonZooms = read(keys::LeftButtonZooms);
  v.keepCenterOnZoom = read(keys::KeepCenterOnZoom);
  v.deleteAsksToConfirm = read(keys::DeleteAsksToConfirm);
  v.showMarkQAD = read(keys::ShowMarkQAD);
  v.saveAlignWidth = read(keys::SaveAlignWidth);
  v.saveAlignHeight = read(keys::SaveAlignHeight);
  v.defaultPrinterName = read(keys::DefaultPrinterName);
  v.autoLaunchPDF = read(keys::AutoLaunchPDF);
  v.pdfViewer = read(keys::PDFViewer);
  v.stampDateTimeOnPrint = read(keys::StampDateTimeOnPrint) != 0 ? 1 : 0;
  v.embedded = loadEmbedded();
  v.invertedPrinters = loadList(kInvertedPrintersSection, kInvertedPrintersList);
  return v;
}

void CViewerSettings::sync() {
  if (store_) store_->sync();
}

}  // namespace hv::viewer
