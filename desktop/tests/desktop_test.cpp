#include <gtest/gtest.h>

#include <QApplication>

#include "desktop/tests/test_app.h"
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>

#include "desktop/info_dialog.h"
#include "desktop/message_box.h"
#include "desktop/tests/test_application.h"
#include "formats/fm_messages.h"

namespace hv::desktop {
namespace {

using test::app;

TEST(MessageBoxes, FatalReportsUseTheStopIconAndTheCaption) {
  app();
  auto fatal = makeReportBox(hv::formats::kFatal, hv::formats::kMessageCaption,
                             "FATAL ERROR: Unable to Load Filter Procedure Pointers");
  EXPECT_EQ(fatal->windowTitle(), "Halvor File Manager Error");
  EXPECT_EQ(fatal->icon(), QMessageBox::Critical);
  EXPECT_EQ(fatal->text(), "FATAL ERROR: Unable to Load Filter Procedure Pointers");
  auto warning = makeReportBox(hv::formats::kWarning, hv::formats::kMessageCaption, "Unable to open /x/y.tif\n");
  EXPECT_EQ(warning->icon(), QMessageBox::Information);
  EXPECT_EQ(warning->text(), "Unable to open /x/y.tif");
}

TEST(InfoDialog, ShowsEveryFieldUnderTheFormatsCaption) {
  app();
  hv::formats::ImageInformation info{"TIFF File Information", {{"Width", "17600"}, {"Width (inches)", "  44.00"}}};
  ImageInfoDialog dialog(info);
  EXPECT_EQ(dialog.windowTitle(), "TIFF File Information");
  QStringList texts;
  for (QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains("17600"));
  EXPECT_TRUE(texts.contains("44.00"));
  EXPECT_TRUE(texts.contains("Width (inches):"));
}

}  // namespace
}  // namespace hv::desktop
