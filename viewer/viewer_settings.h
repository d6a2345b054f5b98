#pragma once
// The viewer's user settings over QSettings: every key declared once with its
// section, type and default; every read and write guarded.
#include <QString>
#include <QStringList>
#include <memory>

class QSettings;

namespace hv::viewer {

inline constexpr const char* kAppSection = "Viewer";
inline constexpr const char* kEmbeddedSection = "QA_Embedded_Sheets";
inline constexpr const char* kInvertedPrintersSection = "Inverted Bit Printers";
inline constexpr const char* kInvertedPrintersList = "IPL";

struct IntKey {
  const char* section;
  const char* name;
  int fallback;
  bool sixteenBits = false;
};

// Defaults that depend on where the viewer runs.
enum class PathDefault { ViewerDir, QueueImages, Queue, Empty, PdfViewer, Filters };
struct StringKey {
  const char* section;
  const char* name;
  PathDefault fallback;
};

namespace keys {
inline constexpr StringKey InitialPath{kAppSection, "InitialPath", PathDefault::ViewerDir};
inline constexpr StringKey BatchPrintPath{kAppSection, "BatchPrintPath", PathDefault::QueueImages};
inline constexpr StringKey BlipPath{kAppSection, "BlipPath", PathDefault::ViewerDir};
inline constexpr StringKey CardwrightPath{kAppSection, "CardwrightPath", PathDefault::ViewerDir};
inline constexpr StringKey TempDirPath{kAppSection, "TempDirPath", PathDefault::ViewerDir};
inline constexpr IntKey FileListSort{kAppSection, "FileListSort", 0, true};
inline constexpr IntKey TypeCheckImages{kAppSection, "TypeCheckImages", 1};
inline constexpr IntKey AllowErrorsInHollerith{kAppSection, "AllowErrorsInHollerith", 0};
inline constexpr IntKey LeftButtonZooms{kAppSection, "LeftButtonZooms", 0};
inline constexpr IntKey KeepCenterOnZoom{kAppSection, "KeepCenterOnZoom", 0};
inline constexpr IntKey DeleteAsksToConfirm{kAppSection, "DeleteAsksToConfirm", 1};
inline constexpr IntKey ShowMarkQAD{kAppSection, "ShowMarkQAD", 0, true};
inline constexpr IntKey SaveAlignWidth{kAppSection, "SaveAlignWidth", 8};
inline constexpr IntKey SaveAlignHeight{kAppSection, "SaveAlignHeight", 8};
inline constexpr StringKey DefaultPrinterName{kAppSection, "Default Printer Name", PathDefault::Empty};
inline constexpr IntKey AutoLaunchPDF{kAppSection, "AutoLaunchPDF", 0};
inline constexpr StringKey PDFViewer{kAppSection, "PDFViewer", PathDefault::PdfViewer};
inline constexpr IntKey StampDateTimeOnPrint{kAppSection, "StampDateTimeOnPrint", 1};

inline constexpr IntKey InitialView{kAppSection, "InitialView", 0};
inline constexpr IntKey InitialRotation{kAppSection, "InitialRotation", 0};
inline constexpr IntKey InitialInvert{kAppSection, "InitialInvert", 0};
inline constexpr IntKey InitialPreview{kAppSection, "InitialPreview", 0};
inline constexpr IntKey RotateForBestFit{kAppSection, "RotateForBestFit", 1};
inline constexpr StringKey WEBJEDMICSImageQueue{kAppSection, "WEBJEDMICSImageQueue", PathDefault::Queue};
inline constexpr StringKey FileSelectionFilters{kAppSection, "FileSelectionFilters", PathDefault::Filters};
inline constexpr IntKey CheckForRespawn{kAppSection, "CheckForRespawn", 0};
inline constexpr StringKey RespawnFile{kAppSection, "RespawnFile", PathDefault::Empty};

inline constexpr IntKey PageCount{kEmbeddedSection, "PageCount", 4};
inline constexpr StringKey SheetWidth{kEmbeddedSection, "SheetWidth", PathDefault::Empty};
inline constexpr StringKey SheetHeight{kEmbeddedSection, "SheetHeight", PathDefault::Empty};
inline constexpr IntKey PopupEmbedInfoWhenExtracting{kEmbeddedSection, "PopupEmbedInfoWhenExtracting", 1};
inline constexpr IntKey SnapToGrid{kEmbeddedSection, "SnapToGrid", 0};
inline constexpr StringKey GridUnit{kEmbeddedSection, "GridUnit", PathDefault::Empty};
}  // namespace keys

// The embedded-sheet options record (stored, loaded and copied only).
struct EmbeddedSheetOptions {
  double sheetWidth = 8.5, sheetHeight = 11.0;
  int pageCount = 4;
  int popupInfo = 1;
  double gridUnit = 0.5;
  int snapToGrid = 0;
  int armed = 0;
  bool changed = false;
};

// Everything start-up loads, in the order it is read.
struct ViewerSettingsValues {
  QString initialPath, batchPrintPath, blipPath, cardwrightPath, tempDirPath;
  int fileListSort = 0, typeCheckImages = 1, allowErrorsInHollerith = 0, leftButtonZooms = 0;
  int keepCenterOnZoom = 0, deleteAsksToConfirm = 1, showMarkQAD = 0, saveAlignWidth = 8, saveAlignHeight = 8;
  QString defaultPrinterName;
  int autoLaunchPDF = 0;
  QString pdfViewer;
  int stampDateTimeOnPrint = 1;
  EmbeddedSheetOptions embedded;
  QStringList invertedPrinters;
};

class CViewerSettings {
 public:
  // The per-user store (organisation "Halvor", application "Viewer").
  CViewerSettings();
  // A store in an INI file (tests).
  explicit CViewerSettings(const QString& iniFile);
  ~CViewerSettings();

  // Folders the defaults refer to; each ends with '/'.
  void setViewerDir(const QString& dir) { viewerDir_ = dir; }
  void setQueueDir(const QString& dir) { queueDir_ = dir; }
  const QString& viewerDir() const { return viewerDir_; }
  const QString& queueDir() const { return queueDir_; }
  QString defaultFor(const StringKey& key) const;

  int read(const IntKey& key) const;
  QString read(const StringKey& key) const;
  void write(const IntKey& key, int value);
  void write(const StringKey& key, const QString& value);

  // Plain access by section and key (the framework's profile calls).
  QString readString(const QString& section, const QString& key, const QString& fallback) const;
  int readInt(const QString& section, const QString& key, int fallback) const;
  void writeString(const QString& section, const QString& key, const QString& value);
  void writeInt(const QString& section, const QString& key, int value);

  // String lists: NAME_Counter and NAME_0, NAME_1, ...; empty entries are skipped on load.
  QStringList loadList(const QString& section, const QString& name) const;
  void saveList(const QString& section, const QString& name, const QStringList& entries);

  // The start-up load; creates BatchPrintPath when missing (a message on failure).
  ViewerSettingsValues loadAll() const;
  EmbeddedSheetOptions loadEmbedded() const;
  void saveEmbedded(const EmbeddedSheetOptions& options);

  void sync();

 private:
  std::unique_ptr<QSettings> store_;
  QString viewerDir_, queueDir_;
};

// The default image queue folder: ~/Halvor Viewer Image Queue/.
QString defaultImageQueueDir();
// Makes `path` end with '/'.
QString withSlash(const QString& path);

}  // namespace hv::viewer
