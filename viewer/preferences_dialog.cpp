#include "viewer/preferences_dialog.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>

#include "viewer/main_frame.h"
#include "viewer/user_prompt.h"
#include "viewer/viewer_app.h"

namespace hv::viewer {

namespace {

// Creates a missing folder and verifies it; the message names what failed.
bool ensureFolder(const QString& path, const QString& createFailed, const QString& notVerified) {
  if (path.isEmpty()) return true;
  QFileInfo info(path);
  if (!info.exists() && !QDir().mkpath(path)) {
    showMessage(createFailed.arg(path));
    return false;
  }
  if (!QFileInfo(path).isDir()) {
    showMessage(notVerified.contains("%1") ? notVerified.arg(path) : notVerified);
    return false;
  }
  return true;
}

// The record as it will be stored, or the message of the first bad value.
std::optional<EmbeddedSheetOptions> checkEmbedded(const EmbeddedSheetInput& in) {
  const struct {
    const QString& text;
    const char* label;
  } sizes[] = {{in.sheetWidth, "Sheet Width"}, {in.sheetHeight, "Sheet Height"}, {in.gridUnit, "Grid Unit"}};
  double value[3] = {};
  for (int i = 0; i < 3; ++i) {
    std::optional<double> v = parseInches(sizes[i].text);
    if (!v) {
      showMessage(QString("The %1 must be a number of inches greater than zero:  %2").arg(sizes[i].label, sizes[i].text));
      return std::nullopt;
    }
    value[i] = *v;
  }
  if (in.pageCount < 1) {
    showMessage(QString("The Page Count must be at least 1:  %1").arg(in.pageCount));
    return std::nullopt;
  }
  EmbeddedSheetOptions o;
  o.pageCount = in.pageCount;
  o.sheetWidth = value[0];
  o.sheetHeight = value[1];
  o.gridUnit = value[2];
  o.popupInfo = in.popupInfo ? 1 : 0;
  o.snapToGrid = in.snapToGrid ? 1 : 0;
  return o;
}

}  // namespace

std::optional<double> parseInches(const QString& text) {
  // Decimal inches as the store keeps them: digits with an optional point,
  // no sign, no exponent; the C locale whatever the desktop's language.
  static const QRegularExpression form(R"(^\s*(\d+\.?\d*|\.\d+)\s*$)");
  if (!form.match(text).hasMatch()) return std::nullopt;
  bool ok = false;
  const double v = QLocale::c().toDouble(text.trimmed(), &ok);
  if (!ok || !(v > 0.0) || v > 1.0e6) return std::nullopt;
  return v;
}

bool applyPreferences(const PreferencesInput& in, CViewerSettings& s, ViewerSettingsValues* running,
                      ViewState* frameState) {
  s.write(keys::TypeCheckImages, in.typeCheckImages);
  s.write(keys::LeftButtonZooms, in.leftButtonZooms);
  s.write(keys::FileListSort, in.fileListSort);
  s.write(keys::InitialView, in.initialView);
  s.write(keys::InitialRotation, rotationTenths(in.initialRotation));
  s.write(keys::InitialInvert, in.initialInvert);
  s.write(keys::InitialPreview, in.initialPreview);
  if (running) {
    running->typeCheckImages = in.typeCheckImages;
    running->leftButtonZooms = in.leftButtonZooms;
    running->fileListSort = in.fileListSort;
  }
  if (frameState) {
    (*frameState)[ViewState::InitialView] = in.initialView;
    (*frameState)[ViewState::Rotation] = in.initialRotation;
    (*frameState)[ViewState::Invert] = in.initialInvert;
    (*frameState)[ViewState::Preview] = in.initialPreview;
  }
  if (!ensureFolder(in.initialPath, "Unable to create the initial directory:  %1",
                    "The Initial Image Path cannot be verified."))
    return false;
  s.write(keys::InitialPath, in.initialPath);
  s.write(keys::BlipPath, in.blipPath);
  s.write(keys::CardwrightPath, in.cardwrightPath);
  if (!ensureFolder(in.tempDirPath, "Unable to create the temporary directory:  %1",
                    "The Temporary Directory Path could not be verified."))
    return false;
  s.write(keys::TempDirPath, in.tempDirPath);
  if (!in.pdfViewer.isEmpty() && !QFileInfo::exists(in.pdfViewer) &&
      QStandardPaths::findExecutable(in.pdfViewer).isEmpty()) {
    showMessage(QString("Could not Find PDF Viewer File:  %1").arg(in.pdfViewer));
    return false;
  }
  s.write(keys::PDFViewer, in.pdfViewer);
  s.write(keys::AutoLaunchPDF, in.autoLaunchPDF);
  s.write(keys::StampDateTimeOnPrint, in.stampDateTimeOnPrint);
  if (running) {
    running->pdfViewer = in.pdfViewer;
    running->autoLaunchPDF = in.autoLaunchPDF;
  }
  if (!ensureFolder(in.imageQueue, "Unable to create the WEBJEDMICS Image Queue:  %1",
                    "Unable to verify WEBJEDMICS Image Queue:  %1"))
    return false;
  s.write(keys::WEBJEDMICSImageQueue, in.imageQueue);
  if (!ensureFolder(in.batchPrintPath, "Unable to create the BatchPrint Directory:  %1",
                    "Unable to verify BatchPrint Directory:  %1"))
    return false;
  s.write(keys::BatchPrintPath, in.batchPrintPath);
  if (in.embedded) {
    std::optional<EmbeddedSheetOptions> options = checkEmbedded(*in.embedded);
    if (!options) {
      s.sync();
      return false;
    }
    s.saveEmbedded(*options);
    if (running) {
      running->embedded = *options;
      running->embedded.changed = true;
    }
  }
  s.sync();
  return true;
}

QLineEdit* CPreferencesDialog::folderRow(QFormLayout* form, const QString& label, const QString& name,
                                         const QString& value, const QString& browseTitle, bool file) {
  auto* row = new QHBoxLayout;
  auto* edit = new QLineEdit(value);
  edit->setObjectName(name);
  auto* browse = new QPushButton("Browse...");
  browse->setObjectName(name + "Browse");
  row->addWidget(edit, 1);
  row->addWidget(browse);
  form->addRow(label, row);
  connect(browse, &QPushButton::clicked, this, [this, edit, browseTitle, file] {
    QFileDialog dialog(this, browseTitle, edit->text());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (file) {
      dialog.setNameFilters({"EXE Files (*.exe)", "All Files (*)"});
      dialog.selectNameFilter("All Files (*)");
      dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
      dialog.setFileMode(QFileDialog::Directory);
      dialog.setOption(QFileDialog::ShowDirsOnly);
    }
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
      edit->setText(file ? dialog.selectedFiles().front() : withSlash(dialog.selectedFiles().front()));
  });
  return edit;
}

CPreferencesDialog::CPreferencesDialog(CViewerSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
  setWindowTitle("Preferences");
  setObjectName("PreferencesDialog");
  auto* tabs = new QTabWidget(this);

  auto* viewPage = new QWidget;
  viewPage->setObjectName("ViewPreferences");
  auto* viewLayout = new QVBoxLayout(viewPage);
  auto radios = [](QWidget* owner, const QString& title, const QStringList& texts, const QString& name, int chosen,
                   QButtonGroup*& group) {
    auto* box = new QGroupBox(title, owner);
    auto* layout = new QHBoxLayout(box);
    group = new QButtonGroup(box);
    for (int i = 0; i < texts.size(); ++i) {
      auto* r = new QRadioButton(texts[i]);
      r->setObjectName(name + QString::number(i));
      group->addButton(r, i);
      layout->addWidget(r);
    }
    if (auto* b = group->button(chosen)) b->setChecked(true);
    return box;
  };
  viewLayout->addWidget(radios(viewPage, "Initial View", {"Fit in Window", "Actual Size 1:1"}, "InitialView",
                               settings.read(keys::InitialView), initialView_));
  viewLayout->addWidget(radios(viewPage, "Initial Rotation", {"0", "90", "180", "270"}, "InitialRotation",
                               rotationIndex(settings.read(keys::InitialRotation)), rotation_));
  auto check = [viewLayout](const QString& text, const QString& name, int on) {
    auto* c = new QCheckBox(text);
    c->setObjectName(name);
    c->setChecked(on != 0);
    viewLayout->addWidget(c);
    return c;
  };
  invert_ = check("Invert Image", "InitialInvert", settings.read(keys::InitialInvert));
  preview_ = check("Use Preview Bitmap", "InitialPreview", settings.read(keys::InitialPreview));
  typeCheck_ = check("Type Check Next/Previous Images", "TypeCheckImages", settings.read(keys::TypeCheckImages));
  leftZooms_ = check("Mouse Left Button Zooms", "LeftButtonZooms", settings.read(keys::LeftButtonZooms));
  stamp_ = check("Stamp Printed Images with Date/Time and Filename", "StampDateTimeOnPrint",
                 settings.read(keys::StampDateTimeOnPrint));
  autoPdf_ = check("Automatically Launch PDF Files", "AutoLaunchPDF", settings.read(keys::AutoLaunchPDF));
  int sort = settings.read(keys::FileListSort);
  viewLayout->addWidget(radios(viewPage, "File List Sort", {"None", "DOS Sort", "LONG Sort"}, "FileListSort",
                               sort >= 0 && sort <= 2 ? sort : 0, sort_));
  viewLayout->addWidget(embeddedSheetBox(settings.loadEmbedded()));
  viewLayout->addStretch();
  tabs->addTab(viewPage, "View Preferences");

  auto* dirPage = new QWidget;
  dirPage->setObjectName("DirectoryPreferences");
  auto* form = new QFormLayout(dirPage);
  blipPath_ = folderRow(form, "Blip Images:", "BlipPath", settings.read(keys::BlipPath),
                        "Select Default Blip Image Folder:");
  initialPath_ = folderRow(form, "Initial Images:", "InitialPath", settings.read(keys::InitialPath),
                           "Select the Default File Image Folder:");
  cardwrightPath_ = folderRow(form, "JEDMICS Editor:", "CardwrightPath", settings.read(keys::CardwrightPath),
                              "Select Folder Containing Jedmics Editor:");
  tempDir_ = folderRow(form, "Temporary Files:", "TempDirPath", settings.read(keys::TempDirPath),
                       "Select Folder To Contain Temporary Files:");
  queue_ = folderRow(form, "WEBJEDMICS Image Queue:", "WEBJEDMICSImageQueue",
                     settings.read(keys::WEBJEDMICSImageQueue), "Select WEBJEDMICS Image Queue Folder:");
  batchPrint_ = folderRow(form, "Batch Print:", "BatchPrintPath", settings.read(keys::BatchPrintPath),
                          "Select Default Batch Print Folder:");
  pdfViewer_ = folderRow(form, "PDF Viewer:", "PDFViewer", settings.read(keys::PDFViewer),
                         "Select PDF Viewer Executable File:", true);
  tabs->addTab(dirPage, "Directory Preferences");

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CPreferencesDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs);
  layout->addWidget(buttons);
}

QWidget* CPreferencesDialog::embeddedSheetBox(const EmbeddedSheetOptions& o) {
  auto* box = new QGroupBox("Embedded Sheets");
  box->setObjectName("EmbeddedSheets");
  auto* form = new QFormLayout(box);
  pageCount_ = new QSpinBox;
  pageCount_->setObjectName("PageCount");
  pageCount_->setRange(1, 9999);
  pageCount_->setValue(std::clamp(o.pageCount, 1, 9999));
  form->addRow("Page Count:", pageCount_);
  auto* inches = new QRegularExpressionValidator(QRegularExpression(R"(\d{0,6}\.?\d{0,4})"), box);
  auto sizeField = [&](const QString& label, const QString& name, double value) {
    auto* edit = new QLineEdit(QLocale::c().toString(value, 'g', 8));
    edit->setObjectName(name);
    edit->setValidator(inches);
    form->addRow(label, edit);
    return edit;
  };
  sheetWidth_ = sizeField("Sheet Width (inches):", "SheetWidth", o.sheetWidth);
  sheetHeight_ = sizeField("Sheet Height (inches):", "SheetHeight", o.sheetHeight);
  gridUnit_ = sizeField("Grid Unit (inches):", "GridUnit", o.gridUnit);
  popupInfo_ = new QCheckBox("Show Embedded Sheet Information When Extracting");
  popupInfo_->setObjectName("PopupEmbedInfoWhenExtracting");
  popupInfo_->setChecked(o.popupInfo != 0);
  form->addRow(popupInfo_);
  snapToGrid_ = new QCheckBox("Snap To Grid");
  snapToGrid_->setObjectName("SnapToGrid");
  snapToGrid_->setChecked(o.snapToGrid != 0);
  form->addRow(snapToGrid_);
  return box;
}

PreferencesInput CPreferencesDialog::input() const {
  PreferencesInput in;
  in.typeCheckImages = typeCheck_->isChecked();
  in.leftButtonZooms = leftZooms_->isChecked();
  in.fileListSort = std::max(0, sort_->checkedId());
  in.initialPath = initialPath_->text();
  in.blipPath = blipPath_->text();
  in.cardwrightPath = cardwrightPath_->text();
  in.tempDirPath = tempDir_->text();
  in.pdfViewer = pdfViewer_->text();
  in.imageQueue = queue_->text();
  in.batchPrintPath = batchPrint_->text();
  in.autoLaunchPDF = autoPdf_->isChecked();
  in.stampDateTimeOnPrint = stamp_->isChecked();
  in.initialView = std::max(0, initialView_->checkedId());
  in.initialRotation = std::max(0, rotation_->checkedId());
  in.initialInvert = invert_->isChecked();
  in.initialPreview = preview_->isChecked();
  EmbeddedSheetInput e;
  e.pageCount = pageCount_->value();
  e.sheetWidth = sheetWidth_->text();
  e.sheetHeight = sheetHeight_->text();
  e.gridUnit = gridUnit_->text();
  e.popupInfo = popupInfo_->isChecked();
  e.snapToGrid = snapToGrid_->isChecked();
  in.embedded = e;
  return in;
}

void CPreferencesDialog::accept() {
  CViewerApp* app = CViewerApp::instance();
  ViewerSettingsValues* running = app ? &app->values() : nullptr;
  ViewState* frame = app && app->mainFrame() ? &app->mainFrame()->viewState() : nullptr;
  if (applyPreferences(input(), settings_, running, frame)) QDialog::accept();
}

}  // namespace hv::viewer
