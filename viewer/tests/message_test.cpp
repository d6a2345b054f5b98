// The desktop messages of the sibling programs, sent from this process to a
// real viewer process on a private session bus.
#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSharedMemory>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

#include "desktop/registered_messages.h"
#include "desktop/shared_text.h"
#include "desktop/window_bus.h"
#include "viewer/image_queue.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/tests/viewer_fixture.h"

namespace hv::viewer::test {

namespace dk = hv::desktop;

class MessageTest : public QObject {
  Q_OBJECT
  dk::WindowBus bus_;
  QProcess viewer_;
  QString service_;
  QString a_, b_, c_;

  QString title() const { return bus_.titleOf(service_); }
  QString queue() const { return QDir::homePath() + "/Halvor Viewer Image Queue/"; }
  qint64 sendText(const char* block, const char* message, const QByteArray& text, bool* ok = nullptr) {
    return dk::SendSharedText(bus_, block, message, service_, text, ok);
  }
  // The viewer answers a plain message and still shows a window title.
  bool answering() {
    bool ok = false;
    const qint64 answer = bus_.send(service_, dk::msg::InspectaCommandComplete, 0, 0, &ok);
    return ok && answer == 0 && title().contains("Halvor Image Viewer", Qt::CaseInsensitive);
  }

 private slots:
  void initTestCase() {
    QVERIFY(QDBusConnection::sessionBus().isConnected());
    a_ = dataRoot() + "a.tif";
    b_ = dataRoot() + "b.tif";
    c_ = dataRoot() + "c.tif";
    for (auto [path, seed] : {std::pair{a_, 1u}, {b_, 2u}, {c_, 3u}})
      QVERIFY(writeDrawing(path.toStdString(), "TIFFGP4 ", seed, 600, 400));
    viewer_.start(VIEWER_PATH, {a_});
    QVERIFY(viewer_.waitForStarted());
    service_ = QString("%1%2").arg(dk::kWindowServicePrefix).arg(viewer_.processId());
    QTRY_VERIFY_WITH_TIMEOUT(title().contains("A.TIF"), 10000);
  }
  void cleanupTestCase() {
    viewer_.terminate();
    if (!viewer_.waitForFinished(5000)) viewer_.kill();
    viewer_.waitForFinished(2000);
  }

  void changeImageOpensThePathAndAnswers99() {
    bool ok = false;
    QCOMPARE(sendText(dk::block::ViewerChangeImage, dk::msg::ChangeImage, b_.toLocal8Bit(), &ok), 99);
    QVERIFY(ok);
    QTRY_VERIFY_WITH_TIMEOUT(title().contains("B.TIF"), 5000);
  }

  void theQueueKeywordIsRecognisedInLowerCase() {
    QVERIFY(!writeHandOffFile(queue(), c_).isEmpty());
    QCOMPARE(sendText(dk::block::ViewerChangeImage, dk::msg::ChangeImage, "imagequeue"), 99);
    QTRY_VERIFY_WITH_TIMEOUT(title().contains("C.TIF"), 5000);
    QVERIFY(QDir(queue()).entryList({"*.log", "*.LOG"}, QDir::Files).isEmpty());
    // The running viewer's own hand-over message answers 1 for the keyword
    // in any case, 99 for anything else.
    QCOMPARE(sendText(dk::block::ViewerChangeImage, dk::msg::OpenInMainViewer, "ImageQueue"), 1);
    QCOMPARE(sendText(dk::block::ViewerChangeImage, dk::msg::OpenInMainViewer, a_.toLocal8Bit()), 99);
  }

  void aTextFillingTheWholeBlockArrivesWhole() {
    // Blanks first and the path last: the path's last byte is the block's.
    QByteArray text(dk::kSharedBlockBytes, ' ');
    const QByteArray path = a_.toLocal8Bit();
    std::memcpy(text.data() + text.size() - path.size(), path.constData(), size_t(path.size()));
    QCOMPARE(text.size(), 4096);
    QCOMPARE(sendText(dk::block::ViewerChangeImage, dk::msg::ChangeImage, text), 99);
    QTRY_VERIFY_WITH_TIMEOUT(title().contains("A.TIF"), 5000);

    // Read here: all 4096 bytes, and a terminator after them.
    QSharedMemory block("HVMMF_Test_Full");
    QVERIFY(block.create(dk::kSharedBlockBytes));
    std::memset(block.data(), 'x', dk::kSharedBlockBytes);
    auto read = dk::ReadSharedText("HVMMF_Test_Full");
    QVERIFY(read.has_value());
    QCOMPARE(read->size(), 4096);
    QCOMPARE(read->constData()[4096], '\0');
    QVERIFY(!dk::ReadSharedText("HVMMF_Test_Missing").has_value());
  }

  void cardletChangeImageOpensItsOwnBlock() {
    QCOMPARE(sendText(dk::block::CardletChangeImage, dk::msg::CardletChangeImage, b_.toLocal8Bit()), 0);
    QTRY_VERIFY_WITH_TIMEOUT(title().contains("B.TIF"), 5000);
  }

  void theImageCommandOpensTheBlockItNamesAndZeroDoesNothing() {
    QCOMPARE(dk::commandBlockName(0x10000), QString());
    QCOMPARE(dk::commandBlockName(0x10007), QString("HVMMF_MarrickViewImageCmd_7"));
    QSharedMemory block(dk::commandBlockName(7));
    QVERIFY(block.create(dk::kSharedBlockBytes));
    std::memset(block.data(), 0, dk::kSharedBlockBytes);
    const QByteArray path = c_.toLocal8Bit();
    std::memcpy(block.data(), path.constData(), size_t(path.size()));

    // Zero in the low 16 bits: nothing opens, the answer is 0.
    bool ok = false;
    QCOMPARE(bus_.send(service_, dk::msg::MarrickViewImage, 0, 0x70000, &ok), 0);
    QVERIFY(ok);
    QTest::qWait(300);
    QVERIFY(title().contains("B.TIF"));
    QCOMPARE(bus_.send(service_, dk::msg::MarrickViewImage, 0, 0x10007, &ok), 0);
    QTRY_VERIFY_WITH_TIMEOUT(title().contains("C.TIF"), 5000);
  }

  void theEditorMessagesAnswerZero() {
    for (const char* m : {dk::msg::InspectaResyncHoll, dk::msg::InspectaCommandComplete,
                          dk::msg::InspectaCardwrightClosing}) {
      bool ok = false;
      QCOMPARE(bus_.send(service_, m, 0, 0, &ok), 0);
      QVERIFY(ok);
    }
    // Unknown names answer 0 as well.
    QCOMPARE(bus_.send(service_, "HVMSG_NoSuchMessage", 1, 2), 0);
  }

  // Last: random blocks may leave message boxes open in the viewer.
  void aThousandRandomMessagesLeaveTheViewerAnswering() {
    QRandomGenerator rng(20261207);
    QStringList names = dk::viewerMessageNames();
    names << "" << "imagequeue" << "HVMSG_Cardwright_FlushHoll" << QString(300, 'M');
    const char* blocks[] = {dk::block::ViewerChangeImage, dk::block::CardletChangeImage};
    for (int i = 0; i < 1000; ++i) {
      QString name = names[int(rng.bounded(names.size()))];
      if (rng.bounded(4) == 0) name = QString::number(rng.generate(), 36);
      QByteArray text(int(rng.bounded(dk::kSharedBlockBytes + 1)), Qt::Uninitialized);
      for (char& c : text) c = char(rng.bounded(256));
      QSharedMemory block(blocks[rng.bounded(2)]);
      if (!block.create(dk::kSharedBlockBytes)) QVERIFY(block.attach());
      std::memcpy(block.data(), text.constData(), size_t(text.size()));
      bool ok = false;
      (void)bus_.send(service_, name, rng.generate64(), qint64(rng.generate64()), &ok);
      QVERIFY2(ok, qPrintable(QString("message %1 (%2) got no answer").arg(i).arg(name.left(40))));
      block.detach();
    }
    QVERIFY(answering());
    QCOMPARE(viewer_.state(), QProcess::Running);
    QCOMPARE(sendText(dk::block::ViewerChangeImage, dk::msg::ChangeImage, "imagequeue"), 99);
  }
};

}  // namespace hv::viewer::test

int main(int argc, char** argv) {
  QTemporaryDir root;
  hv::viewer::test::isolateEnvironment(root.path());
  QApplication app(argc, argv);
  hv::viewer::test::MessageTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "message_test.moc"
