// The view commands through the command table, the keyboard and the mouse:
// their effect on the view's scale, rotation, polarity and scroll position.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QScrollBar>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "desktop/info_dialog.h"
#include "viewer/view_dialogs.h"

#include "viewer/main_frame.h"
#include "viewer/tests/drawing_files.h"
#include "viewer/tests/viewer_fixture.h"
#include "viewer/tests/viewer_tests.h"
#include "viewer/viewer_doc.h"
#include "viewer/viewer_view.h"

namespace hv::viewer::test {

namespace {

using Scale = std::array<int, 4>;

Scale scaleOf(const CViewerView* v) {
  const std::uint8_t* s = v->scale();
  return {s[0], s[1], s[2], s[3]};
}

// Display pixels per image pixel, horizontally.
double magnification(const CViewerView* v) {
  const std::uint8_t* s = v->scale();
  return double(s[0]) / s[1];
}

void drag(CViewerView* v, QPoint from, QPoint to) {
  sendMouse(v->viewport(), QEvent::MouseButtonPress, from, Qt::LeftButton);
  sendMouse(v->viewport(), QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
  sendMouse(v->viewport(), QEvent::MouseMove, to, Qt::LeftButton);
  sendMouse(v->viewport(), QEvent::MouseButtonRelease, to, Qt::LeftButton);
}

}  // namespace

class ViewCommandsTest : public QObject {
  Q_OBJECT
  Prompts prompts_;
  CViewerApp* app() { return CViewerApp::instance(); }
  CMainFrame* frame() { return app()->mainFrame(); }

  // Opens a generated drawing of the given size and resolution in a view of
  // 800 by 600 client pixels, fitted.
  CViewerView* open(unsigned width, unsigned height, unsigned dpi) {
    CViewerView* v = openInView("viewcmds/", QString("d%1x%2.tif").arg(width).arg(height),
                                hv::drawgen::generateDrawing(width, height, dpi, 7), dpi);
    return v && v->fitMode() ? v : nullptr;
  }

 private slots:
  void init() {
    prompts_.texts.clear();
    prompts_.install();
    app()->values().leftButtonZooms = 0;
  }
  void cleanup() {
    frame()->closeAllDocuments();
    QCoreApplication::processEvents();
  }

  void commandsNeedAnImage() {
    frame()->closeAllDocuments();
    for (const char* id : {"view.fit", "view.actualSize", "view.zoomIn", "view.zoomOut", "view.invert",
                           "view.rotateLeft", "view.rotateRight", "view.undo", "file.print", "file.printView"})
      QVERIFY2(!commandEnabled(id), id);
  }

  void fitActualSizeAndZoomStepsStopAtTheEnds() {
    CViewerView* v = open(1700, 1100, 200);
    QVERIFY(v);
    QCOMPARE(v->viewport()->size(), QSize(800, 600));
    const double fitted = magnification(v);
    QVERIFY(fitted < 0.5 && fitted * 1700 <= 800);
    QVERIFY(runCommand("view.actualSize"));
    QCOMPARE(scaleOf(v), (Scale{1, 1, 1, 1}));
    QVERIFY(!v->fitMode());
    QVERIFY(runCommand("view.fit"));
    QCOMPARE(magnification(v), fitted);

    // Zoom in until the engine has no further step: each step enlarges, and
    // the command is disabled at the end.
    double last = magnification(v);
    int steps = 0;
    while (commandEnabled("view.zoomIn")) {
      QVERIFY(runCommand("view.zoomIn"));
      QVERIFY2(magnification(v) > last, "zoom in did not enlarge");
      last = magnification(v);
      QVERIFY(++steps < 40);
    }
    QVERIFY(steps > 2);
    QVERIFY(!runCommand("view.zoomIn"));
    QCOMPARE(magnification(v), last);
    QVERIFY(commandEnabled("view.zoomOut"));
    steps = 0;
    while (commandEnabled("view.zoomOut")) {
      QVERIFY(runCommand("view.zoomOut"));
      QVERIFY2(magnification(v) < last, "zoom out did not reduce");
      last = magnification(v);
      QVERIFY(++steps < 40);
    }
    QVERIFY(steps > 2);
    QVERIFY(last < fitted);
  }

  void zoomingKeepsTheCentre() {
    CViewerView* v = open(1700, 1100, 200);
    QVERIFY(v);
    QVERIFY(runCommand("view.actualSize"));
    const QRect before = v->imageRectOf(QRect(395, 295, 10, 10));
    QVERIFY(runCommand("view.zoomOut"));
    QVERIFY(runCommand("view.zoomIn"));
    const QRect after = v->imageRectOf(QRect(395, 295, 10, 10));
    QVERIFY2(std::abs(after.center().x() - before.center().x()) <= 4 &&
                 std::abs(after.center().y() - before.center().y()) <= 4,
             "the centre moved");
  }

  void rotationStepsAndItsCheckMarks() {
    CViewerView* v = open(1700, 1100, 200);
    QVERIFY(v);
    QCOMPARE(v->rotation(), 0);
    QVERIFY(commandChecked("view.rotate0"));
    const int expected[] = {900, 1800, 2700, 0};
    for (int tenths : expected) {
      QVERIFY(runCommand("view.rotateLeft"));
      QCOMPARE(v->rotation(), tenths);
      QCOMPARE(v->viewState()[ViewState::Rotation], tenths / 900);
      QVERIFY(commandChecked(QString("view.rotate%1").arg(tenths / 10).toLatin1().constData()));
    }
    QVERIFY(runCommand("view.rotateRight"));
    QCOMPARE(v->rotation(), 2700);
    QVERIFY(!commandChecked("view.rotate0"));
    QVERIFY(runCommand("view.rotate90"));
    QCOMPARE(v->rotation(), 900);
    // The fitted view is fitted again when turned: the tall picture fits the height.
    QVERIFY(v->fitMode());
    QVERIFY(1700 * double(v->scale()[2]) / v->scale()[3] <= 600);
  }

  void invertTogglesTheImageAndItsCheckMark() {
    CViewerView* v = open(1700, 1100, 200);
    QVERIFY(v);
    QImage normal = v->viewport()->grab().toImage();
    QVERIFY(!commandChecked("view.invert"));
    QVERIFY(runCommand("view.invert"));
    QVERIFY(commandChecked("view.invert"));
    ImageHdl h = v->GetDocument()->image();
    QCOMPARE(h->invert, 1);
    QCOMPARE(h->current->invert, 1);
    QImage inverted = v->viewport()->grab().toImage();
    QCOMPARE(inverted.pixel(400, 300) ^ 0xffffff, normal.pixel(400, 300));
    QVERIFY(runCommand("view.invert"));
    QCOMPARE(h->invert, 0);
    QCOMPARE(v->viewport()->grab().toImage(), normal);
  }

  void undoSwapsWithTheViewBefore() {
    CViewerView* v = open(1700, 1100, 200);
    QVERIFY(v);
    QVERIFY(!commandEnabled("view.undo"));
    const Scale fitted = scaleOf(v);
    QVERIFY(runCommand("view.actualSize"));
    v->horizontalScrollBar()->setValue(300);
    v->verticalScrollBar()->setValue(200);
    QVERIFY(runCommand("view.invert"));
    QVERIFY(runCommand("view.zoomIn"));
    const Scale zoomed = scaleOf(v);
    const int zx = v->horizontalScrollBar()->value(), zy = v->verticalScrollBar()->value();
    QVERIFY(commandEnabled("view.undo"));
    QVERIFY(runCommand("view.undo"));
    QCOMPARE(scaleOf(v), (Scale{1, 1, 1, 1}));
    QCOMPARE(v->horizontalScrollBar()->value(), 300);
    QCOMPARE(v->verticalScrollBar()->value(), 200);
    QCOMPARE(v->GetDocument()->image()->invert, 1);
    QVERIFY(runCommand("view.undo"));
    QCOMPARE(scaleOf(v), zoomed);
    QCOMPARE(v->horizontalScrollBar()->value(), zx);
    QCOMPARE(v->verticalScrollBar()->value(), zy);
    QVERIFY(scaleOf(v) != fitted);
  }

  void pageUpScrollsRightAndControlPageUpScrollsUp() {
    CViewerView* v = open(3400, 2200, 200);
    QVERIFY(v);
    QVERIFY(runCommand("view.actualSize"));
    QScrollBar* h = v->horizontalScrollBar();
    QScrollBar* vert = v->verticalScrollBar();
    h->setValue(0);
    vert->setValue(1000);
    QTest::keyClick(v, Qt::Key_PageUp);
    QCOMPARE(h->value(), 800);
    QCOMPARE(vert->value(), 1000);
    QTest::keyClick(v, Qt::Key_PageDown);
    QCOMPARE(h->value(), 0);
    QTest::keyClick(v, Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(vert->value(), 400);
    QCOMPARE(h->value(), 0);
    QTest::keyClick(v, Qt::Key_End);
    QCOMPARE(h->value(), h->maximum());
    QTest::keyClick(v, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(vert->value(), 0);
  }

  void selectionSizeInInches() {
    QCOMPARE(selectionSizeText(850, 1100, 100, 100), QString("(8.50\"W X 11.00\"H)"));
    QCOMPARE(selectionSizeText(199, 1, 200, 200), QString("(0.99\"W X 0.00\"H)"));
    QCOMPARE(selectionSizeText(3, 3, 0, 0), QString("(3.00\"W X 3.00\"H)"));
    // A drag over 850 by 1100 image pixels at 1:1 on a 100 dpi image.
    CViewerView* v = open(1700, 2200, 100);
    QVERIFY(v);
    v->resize(1000, 1200);
    QCoreApplication::sendPostedEvents();
    QVERIFY(runCommand("view.actualSize"));
    v->horizontalScrollBar()->setValue(0);
    v->verticalScrollBar()->setValue(0);
    sendMouse(v->viewport(), QEvent::MouseButtonPress, QPoint(20, 30), Qt::LeftButton);
    sendMouse(v->viewport(), QEvent::MouseMove, QPoint(869, 1129), Qt::LeftButton);
    QVERIFY(v->dragging());
    QCOMPARE(frame()->statusText(), QString("(8.50\"W X 11.00\"H)"));
    sendMouse(v->viewport(), QEvent::MouseButtonRelease, QPoint(869, 1129), Qt::LeftButton);
    QCOMPARE(v->selection(), QRect(QPoint(20, 30), QPoint(869, 1129)));
  }

  void leftDragOnlySelectsUnlessLeftButtonZooms() {
    CViewerView* v = open(1700, 1100, 200);
    QVERIFY(v);
    const Scale fitted = scaleOf(v);
    drag(v, QPoint(100, 100), QPoint(300, 250));
    QCOMPARE(scaleOf(v), fitted);
    QCOMPARE(v->selection(), QRect(QPoint(100, 100), QPoint(300, 250)));
    const QRect picked = v->imageRectOf(v->selection());
    sendMouse(v->viewport(), QEvent::MouseButtonRelease, QPoint(200, 200), Qt::RightButton);
    QVERIFY(v->selection().isNull());
    QVERIFY(magnification(v) > double(fitted[0]) / fitted[1] * 2);
    // The picked part now fills the view around its centre.
    const QRect shown = v->imageRectOf(v->viewport()->rect());
    QVERIFY2(shown.contains(picked.center()), "the zoomed view does not show the selection");
    QVERIFY(shown.width() < picked.width() * 2 + 40);
    QVERIFY(commandEnabled("view.undo"));
    QVERIFY(runCommand("view.undo"));
    QCOMPARE(scaleOf(v), fitted);

    app()->values().leftButtonZooms = 1;
    drag(v, QPoint(100, 100), QPoint(300, 250));
    QVERIFY(magnification(v) > double(fitted[0]) / fitted[1] * 2);
    QVERIFY(v->selection().isNull());
  }

  void imageInformationShowsTheDisplayRecord() {
    QCOMPARE(imageInformationText(nullptr), QString());
    CViewerView* v = open(1700, 1100, 200);
    QVERIFY(v);
    QVERIFY(runCommand("view.actualSize"));
    QVERIFY(runCommand("view.rotateLeft"));
    const QString path = v->GetDocument()->pathName();
    const QStringList lines = imageInformationText(v).split('\n');
    QCOMPARE(lines.value(0), "Name: \t" + path);
    QCOMPARE(lines.value(1), QString("Image Extents: \t(1700,1100)"));
    QCOMPARE(lines.value(2), QString("Image Offsets: \t(0,0)"));
    QCOMPARE(lines.value(3), QString("Scale Factor:  \t1:1"));
    QCOMPARE(lines.value(4), QString("Rotation Angle: \t90 degrees"));
    QVERIFY(lines.value(5).startsWith("View Offsets:  \t("));
    QCOMPARE(lines.size(), 7);

    // "File Details" opens the format's own information dialog over this one.
    hv::desktop::installInfoDialogPresenter();
    CImageInfoDialog dialog(v);
    QCOMPARE(dialog.text(), imageInformationText(v));
    bool shown = false;
    QTimer::singleShot(50, [&shown] {
      if (auto* d = qobject_cast<hv::desktop::ImageInfoDialog*>(QApplication::activeModalWidget())) {
        shown = true;
        d->reject();
      }
    });
    dialog.showFileDetails();
    QVERIFY(shown);
  }

  void zoomOptionsKeepTheChosenStep() {
    CZoomOptionsDialog dialog(0);
    QCOMPARE(dialog.step(), 0);
    auto buttons = dialog.findChildren<QRadioButton*>();
    QCOMPARE(buttons.size(), 3);
    QCOMPARE(buttons[2]->text(), QString("Course Adjust (Approximately 50% Steps)"));
    buttons[1]->setChecked(true);
    QCOMPARE(dialog.step(), 1);
  }

  void aClickWithoutDragZoomsNowhere() {
    CViewerView* v = open(1700, 1100, 200);
    QVERIFY(v);
    app()->values().leftButtonZooms = 1;
    const Scale fitted = scaleOf(v);
    drag(v, QPoint(100, 100), QPoint(100, 100));
    sendMouse(v->viewport(), QEvent::MouseButtonRelease, QPoint(100, 100), Qt::RightButton);
    QCOMPARE(scaleOf(v), fitted);
  }
};

QObject* makeViewCommandsTest() { return new ViewCommandsTest; }

}  // namespace hv::viewer::test

#include "view_commands_test.moc"
