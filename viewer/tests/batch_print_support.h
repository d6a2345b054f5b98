#pragma once
// Helpers of the batch printing tests: modal dialogs driven from a timer, a
// stand-in batch print program that records how it was started, folders.
#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <string>

namespace hv::viewer::test {

std::string s(const QString& q);
QByteArray readAll(const QString& path);
bool writeAll(const QString& path, const QByteArray& bytes);
// An empty folder under the data root, ending with '/'.
QString freshFolder(const QString& name);

// Runs action on the first modal widget of type T once it shows; a dialog
// the action leaves open is rejected.
template <typename T>
void whenModalShows(std::function<void(T*)> action) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    if (auto* d = qobject_cast<T*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      action(d);
      if (d->isVisible()) QMetaObject::invokeMethod(d, "reject");
    }
  });
  timer->start();
}

// A program called "tessap" in a folder of its own that is put first on
// PATH: it writes its arguments (one per line) and a copy of the list named
// after "-b" to files beside itself, then ends.
class FakeTessap {
 public:
  FakeTessap();
  ~FakeTessap();
  // Waits until the program ran; false after a few seconds.
  bool waitForRun();
  QStringList arguments() const;
  QByteArray list() const;
  void reset();

 private:
  QString folder_;
  QByteArray oldPath_;
};

}  // namespace hv::viewer::test
