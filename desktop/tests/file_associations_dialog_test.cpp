// The Image File Associations dialog against a private XDG configuration.
#include <gtest/gtest.h>

#include <QApplication>

#include "desktop/tests/test_app.h"
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "desktop/file_associations_dialog.h"
#include "desktop/launch_process.h"
#include "desktop/mime_defaults.h"
#include "desktop/tests/xdg_sandbox.h"

namespace hv::desktop {
namespace {

using test::XdgSandbox;

using test::app;

const QString kPackage = QString(HV_SOURCE_DIR) + "/desktop/data/halvor-viewer.xml";

std::string queryDefault(const QString& type) {
  return runForOutput("xdg-mime", {"query", "default", type}).value_or("?").trimmed().toStdString();
}

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class AssociationsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    app();
    // The viewer's entry, as installed, running a stand-in program.
    QString viewer = sandbox.addRecorder("viewer");
    sandbox.writeFile("data/applications/halvor-viewer.desktop",
                      "[Desktop Entry]\nType=Application\nName=Halvor Viewer\nExec=" + viewer.toUtf8() + " %f\n");
  }
  void click(FileAssociationsDialog& dialog, const char* button) {
    auto* b = dialog.findChild<QPushButton*>(button);
    ASSERT_NE(b, nullptr) << button;
    QTest::mouseClick(b, Qt::LeftButton);
  }
  XdgSandbox sandbox;
};

TEST_F(AssociationsDialog, ShowsTheTextAndFiveCheckedBoxes) {
  FileAssociationsDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Image File Associations");
  EXPECT_EQ(dialog.findChild<QLabel*>("prompt")->text(),
            "Please select the image file type(s) that will be associated with Halvor Viewer. All of the following "
            "files are recommended.");
  QStringList captions;
  for (const char* name : {"calBox", "ct1Box", "g4Box", "c4Box", "tifBox"}) {
    auto* box = dialog.findChild<QCheckBox*>(name);
    ASSERT_NE(box, nullptr) << name;
    EXPECT_TRUE(box->isChecked()) << name;
    captions << box->text();
  }
  EXPECT_EQ(captions, (QStringList{"CALS Type 1 (*.cal)", "CALS Type 1 (*.ct1)", "CALS Type 1 (*.g4)",
                                   "EDMICS (*.c4)", "Tiff Group 4 (*.tif)"}));
  click(dialog, "uncheckAllButton");
  EXPECT_TRUE(dialog.checkedExtensions().isEmpty());
  click(dialog, "checkAllButton");
  EXPECT_EQ(dialog.checkedExtensions(), (QStringList{".cal", ".ct1", ".g4", ".c4", ".tif"}));
}

TEST_F(AssociationsDialog, OkMakesTheViewerTheDefaultForTheCheckedTypes) {
  // A desktop-specific choice would override the general one: it goes, the
  // user's other choices stay.
  sandbox.writeFile("config/x-generic-mimeapps.list",
                    "[Default Applications]\nimage/tiff=gimp.desktop\ntext/plain=editor.desktop\n"
                    "[Added Associations]\nimage/tiff=gimp.desktop;\n");
  ASSERT_TRUE(makeViewerDefault({".cal", ".ct1", ".g4", ".c4", ".tif"}, kPackage));
  EXPECT_EQ(queryDefault("image/x-cals-type1"), "halvor-viewer.desktop");
  EXPECT_EQ(queryDefault("image/x-edmics-c4"), "halvor-viewer.desktop");
  EXPECT_EQ(queryDefault("image/tiff"), "halvor-viewer.desktop");
  EXPECT_EQ(readAll(sandbox.path("config/x-generic-mimeapps.list")),
            "[Default Applications]\ntext/plain=editor.desktop\n[Added Associations]\nimage/tiff=gimp.desktop;\n");
  // The drawing types were unknown to the MIME database: they are now
  // installed for this user.
  EXPECT_TRUE(QFile::exists(sandbox.path("data/mime/packages/halvor-viewer.xml")));
}

TEST_F(AssociationsDialog, OnlyTheCheckedTypesChange) {
  FileAssociationsDialog dialog;
  click(dialog, "uncheckAllButton");
  dialog.findChild<QCheckBox*>("c4Box")->setChecked(true);
  const std::string tiffBefore = queryDefault("image/tiff");
  EXPECT_EQ(mimeTypesForExtensions(dialog.checkedExtensions()), QStringList{"image/x-edmics-c4"});
  ASSERT_TRUE(makeViewerDefault(dialog.checkedExtensions(), kPackage));
  EXPECT_EQ(queryDefault("image/x-edmics-c4"), "halvor-viewer.desktop");
  EXPECT_EQ(queryDefault("image/tiff"), tiffBefore);
  EXPECT_EQ(queryDefault("image/x-cals-type1"), "");
}

TEST_F(AssociationsDialog, OkRegistersTheCheckedBoxesAndCloses) {
  FileAssociationsDialog dialog;
  for (const char* name : {"calBox", "ct1Box", "g4Box", "c4Box"}) dialog.findChild<QCheckBox*>(name)->setChecked(false);
  click(dialog, "okButton");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(queryDefault("image/tiff"), "halvor-viewer.desktop");
  EXPECT_EQ(readAll(sandbox.path("config/mimeapps.list")).count("halvor-viewer.desktop"), 1);
}

TEST_F(AssociationsDialog, NothingCheckedOrCancelChangesNothing) {
  sandbox.writeFile("config/x-generic-mimeapps.list", "[Default Applications]\nimage/tiff=gimp.desktop\n");
  {
    FileAssociationsDialog dialog;
    click(dialog, "uncheckAllButton");
    click(dialog, "okButton");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
  {
    FileAssociationsDialog dialog;
    click(dialog, "cancelButton");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
  }
  EXPECT_FALSE(QFile::exists(sandbox.path("config/mimeapps.list")));
  EXPECT_FALSE(QFile::exists(sandbox.path("data/mime")));
  EXPECT_EQ(readAll(sandbox.path("config/x-generic-mimeapps.list")), "[Default Applications]\nimage/tiff=gimp.desktop\n");
}

}  // namespace
}  // namespace hv::desktop
