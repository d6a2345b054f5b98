// Launching files the viewer does not show itself, in a private desktop
// whose default applications are recorders of their arguments.
#include <gtest/gtest.h>

#include <QApplication>

#include "desktop/tests/test_app.h"
#include <QDir>
#include <QFile>

#include "desktop/associations.h"
#include "desktop/external_open.h"
#include "desktop/tests/xdg_sandbox.h"

namespace hv::desktop {
namespace {

using test::XdgSandbox;

using test::app;

struct Messages {
  QStringList texts;
  MessageSink sink() {
    return [this](const QString& caption, const QString& text) { texts << caption + "|" + text; };
  }
};

// The first bytes of an OpenDocument file: a ZIP whose first member is
// "mimetype", stored, holding the document's type.
QByteArray openDocument(const char* type) {
  QByteArray bytes("PK\x03\x04", 4);
  bytes += QByteArray(26, '\0');
  bytes += "mimetype";
  bytes += type;
  bytes += QByteArray(200, '\0');
  return bytes;
}

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Launching : public ::testing::Test {
 protected:
  void SetUp() override { app(); }
  XdgSandbox sandbox;
  Messages messages;
};

TEST_F(Launching, DefaultApplicationGetsTheAbsolutePathAsOneArgument) {
  sandbox.addDefaultApplication("texteditor", "text/plain");
  FileAssociations associations(messages.sink());
  // Names that a shell would expand or a program would take for options.
  const QStringList names = {"notes.txt", "$(touch pwned).txt", "-rf.txt", "`touch pwned2`; a b 'c\".txt"};
  for (const QString& name : names) {
    QFile::remove(sandbox.path("texteditor.args"));
    QString file = sandbox.writeFile("work/" + name, "plain words\n");
    ASSERT_TRUE(associations.IsAssociated(file)) << name.toStdString();
    QDir::setCurrent(sandbox.path("work"));
    ASSERT_TRUE(associations.LaunchAssociated("./" + name, false)) << name.toStdString();
    auto args = sandbox.recordedArguments("texteditor");
    ASSERT_TRUE(args.has_value()) << name.toStdString();
    EXPECT_EQ(*args, QStringList{file}) << name.toStdString();
  }
  EXPECT_FALSE(QFile::exists(sandbox.path("work/pwned")));
  EXPECT_FALSE(QFile::exists(sandbox.path("work/pwned2")));
  EXPECT_TRUE(messages.texts.isEmpty());
}

TEST_F(Launching, AFolderOfOneTypeAsksTheDesktopOnce) {
  sandbox.addDefaultApplication("texteditor", "text/plain");
  // xdg-mime on PATH counts its calls and hands them on.
  sandbox.writeFile("bin/xdg-mime", QString("#!/bin/sh\necho call >> '%1'\nexec /usr/bin/xdg-mime \"$@\"\n")
                                        .arg(sandbox.path("xdg-mime.calls"))
                                        .toUtf8());
  QFile::setPermissions(sandbox.path("bin/xdg-mime"), QFile::ReadOwner | QFile::ExeOwner);
  FileAssociations associations(messages.sink());
  for (int i = 0; i < 40; ++i)
    EXPECT_TRUE(associations.IsAssociated(sandbox.writeFile(QString("work/n%1.txt").arg(i), "words\n")));
  EXPECT_FALSE(associations.IsAssociated(sandbox.writeFile("work/blob", QByteArray("\x01\x02\x00\xff", 4))));
  EXPECT_LE(readAll(sandbox.path("xdg-mime.calls")).count("call"), 3);
}

TEST_F(Launching, OfficeDocumentsGoToLibreOfficeByContentWhenItIsInstalled) {
  QString text = sandbox.writeFile("work/report.dat", openDocument("application/vnd.oasis.opendocument.text"));
  QString sheet = sandbox.writeFile("work/costs", openDocument("application/vnd.oasis.opendocument.spreadsheet"));
  {
    FileAssociations associations(messages.sink());
    EXPECT_FALSE(associations.IsAssociated(text));  // no LibreOffice, no default application
  }
  sandbox.addRecorder("soffice");
  FileAssociations associations(messages.sink());
  ASSERT_TRUE(associations.LaunchAssociated(text, false));
  EXPECT_EQ(sandbox.recordedArguments("soffice"), (QStringList{"--writer", text}));
  QFile::remove(sandbox.path("soffice.args"));
  ASSERT_TRUE(associations.LaunchAssociated(sheet, true));
  EXPECT_EQ(sandbox.recordedArguments("soffice"), (QStringList{"--calc", sheet}));
  EXPECT_TRUE(messages.texts.isEmpty());
}

TEST_F(Launching, LibreOfficeThatCannotStartIsReportedOnceAndLeftAlone) {
  QString text = sandbox.writeFile("work/letter.odt", openDocument("application/vnd.oasis.opendocument.text"));
  sandbox.writeFile("bin/soffice", "#!/nonexistent/interpreter\n");
  QFile::setPermissions(sandbox.path("bin/soffice"), QFile::ReadOwner | QFile::ExeOwner);
  FileAssociations associations(messages.sink());
  EXPECT_FALSE(associations.LaunchAssociated(text, false));
  ASSERT_EQ(messages.texts.size(), 2);
  EXPECT_TRUE(messages.texts[0].startsWith("Application Interface Error|Run-time error ")) << messages.texts[0].toStdString();
  EXPECT_EQ(messages.texts[1],
            "Application Interface Error|Microsoft Word will not be available\ndue to the previous API error.");
  // Later documents of the kind go to the desktop's default, here none.
  EXPECT_FALSE(associations.IsAssociated(text));
}

TEST_F(Launching, FilesThatCannotBeOpenedGiveTheDocumentedMessages) {
  FileAssociations associations(messages.sink());
  ExternalOpenRequest r;
  r.longName = "A1234567-0001";
  r.path = sandbox.writeFile("work/blob.xyz", QByteArray("\x01\x02\x03\x04\xff\xfe\x00\x10", 8));
  bool guarded = false;
  r.beforeLaunch = [&] { guarded = true; };
  ExternalOpenOutcome out = openExternally(associations, r);
  EXPECT_EQ(out.route, ExternalOpenOutcome::Route::NotAssociated);
  EXPECT_EQ(out.message, "blob.xyz is an Unknown File Type.\n\nLongname:  A1234567-0001");
  EXPECT_EQ(out.title, out.message);
  r.haveJedmicsRecord = true;
  out = openExternally(associations, r);
  EXPECT_EQ(out.message, "blob.xyz is not associated with any 3rd party application.\n\nLongname:  A1234567-0001");
  EXPECT_TRUE(out.title.isEmpty());
  EXPECT_EQ(out.status, out.message);
  EXPECT_FALSE(guarded);

  r.path = sandbox.writeFile("work/empty.txt", "");
  out = openExternally(associations, r);
  EXPECT_EQ(out.message, "The file " + r.path + " is not a valid image file.\n\nIt is 0 bytes in length.");
  r.path = sandbox.path("work/gone.txt");
  out = openExternally(associations, r);
  EXPECT_EQ(out.message, "The file " + r.path + " could not be found on disk.");
}

TEST_F(Launching, AssociatedFilesAreLaunchedAfterTheRespawnGuard) {
  sandbox.addDefaultApplication("texteditor", "text/plain");
  FileAssociations associations(messages.sink());
  ExternalOpenRequest r;
  r.path = sandbox.writeFile("work/readme.txt", "words\n");
  QStringList order;
  r.beforeLaunch = [&] { order << (QFile::exists(sandbox.path("texteditor.args")) ? "late" : "guard"); };
  ExternalOpenOutcome out = openExternally(associations, r);
  EXPECT_EQ(out.route, ExternalOpenOutcome::Route::Associated);
  EXPECT_TRUE(out.started);
  EXPECT_EQ(out.title, "readme.txt (File Extension Autolaunched Attempted)");
  EXPECT_EQ(order, QStringList{"guard"});
  EXPECT_EQ(sandbox.recordedArguments("texteditor"), QStringList{r.path});
}

TEST_F(Launching, PdfOfAnAliasFolderGoesToThePdfViewerProgram) {
  sandbox.addRecorder("reader");
  sandbox.addDefaultApplication("pdfapp", "application/pdf");
  FileAssociations associations(messages.sink());
  ExternalOpenRequest r;
  r.pdf = true;
  r.path = sandbox.writeFile("work/DATA.ALS/OPTI0001.PDF", "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<<>>\nendobj\n");
  r.pdfViewer = sandbox.path("bin/reader") + " --page 1";
  r.autoLaunchPdf = true;
  ExternalOpenOutcome out = openExternally(associations, r);
  EXPECT_EQ(out.route, ExternalOpenOutcome::Route::PdfReader);
  EXPECT_TRUE(out.sentToAcrobat);
  EXPECT_EQ(out.title, "OPTI0001.PDF - See Adobe Acrobat Reader");
  EXPECT_EQ(out.status, "Image was sent to Adobe Acrobat Reader");
  EXPECT_TRUE(out.message.isEmpty());
  EXPECT_EQ(sandbox.recordedArguments("reader"), (QStringList{"--page", "1", r.path}));

  QFile::remove(sandbox.path("reader.args"));
  r.autoLaunchPdf = false;
  out = openExternally(associations, r);
  EXPECT_EQ(out.message, "Adobe Acrobat File Found <Autolaunch is turned off>");
  EXPECT_EQ(out.status, out.message);
  EXPECT_FALSE(out.started);

  r.autoLaunchPdf = true;
  r.pdfViewer = sandbox.path("bin/no-such-reader");
  out = openExternally(associations, r);
  EXPECT_EQ(out.message, "Adobe Acrobat Viewer:  <" + r.pdfViewer + "> is not responding to open requests.");
  EXPECT_FALSE(sandbox.recordedArguments("reader", 300).has_value());

  // Outside an alias folder a PDF goes to the desktop's PDF application.
  r.path = sandbox.writeFile("work/manual.pdf", "%PDF-1.4\n1 0 obj\n<<>>\nendobj\n");
  out = openExternally(associations, r);
  EXPECT_EQ(out.route, ExternalOpenOutcome::Route::Associated);
  EXPECT_EQ(sandbox.recordedArguments("pdfapp"), QStringList{r.path});
}

TEST_F(Launching, AnEmptyPdfViewerSettingUsesTheDesktopOpener) {
  sandbox.addRecorder("xdg-open");
  QString pdf = sandbox.writeFile("work/X.ALS/-x.pdf", "%PDF-1.4\n");
  EXPECT_EQ(SendToAcrobat(pdf, ""), 1);
  EXPECT_EQ(sandbox.recordedArguments("xdg-open"), QStringList{pdf});
}

}  // namespace
}  // namespace hv::desktop
