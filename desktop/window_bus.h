#pragma once
// Desktop messages between the programs of the workflow over the D-Bus
// session bus. Each program owns org.halvor.Window.p<PID> and exports
// /org/halvor/Window (interface org.halvor.Window) with the property Title and
// the method Send(s message, t first, x second) -> x answer. A message is
// addressed by its registered name; the receiver runs the handler installed
// for that name. Finding a window by title lists those names and reads Title.
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>

class QWidget;

namespace hv::desktop {

inline constexpr const char* kWindowServicePrefix = "org.halvor.Window.p";
inline constexpr const char* kWindowPath = "/org/halvor/Window";
inline constexpr const char* kWindowInterface = "org.halvor.Window";
inline constexpr int kSendTimeoutMs = 5000;

// Answer of a message nobody handles.
inline constexpr qint64 kNotHandled = 0;

class WindowBus : public QObject {
  Q_OBJECT
 public:
  using Handler = std::function<qint64(quint64 first, qint64 second)>;

  explicit WindowBus(QObject* parent = nullptr);
  ~WindowBus() override;

  // True when a session bus is reachable.
  static bool available();
  // Takes a well-known name for this process. True when owned now; false
  // when another process owns it. Without a session bus: true.
  static bool claimName(const QString& name);

  // Owns org.halvor.Window.p<PID> and exports the window object; its Title
  // follows the window's title. False without a bus.
  bool publish(QWidget* window);
  QString ownService() const { return service_; }

  void setHandler(const QString& message, Handler handler);
  // Runs the handler of a message (what a Send from another program does).
  qint64 dispatch(const QString& message, quint64 first, qint64 second);

  // The window services of other programs, in the bus's order.
  QStringList windowServices() const;
  QString titleOf(const QString& service) const;
  // The first other window whose upper-cased title contains every "+"
  // separated part of the pattern, upper-cased; empty when none.
  QString FindWindowByTitle(const QString& pattern) const;
  // A synchronous send; `ok` false when the call failed or timed out.
  qint64 send(const QString& service, const QString& message, quint64 first, qint64 second, bool* ok = nullptr,
              int timeoutMs = kSendTimeoutMs) const;

  QString title() const;

 private:
  QWidget* window_ = nullptr;
  QString service_;
  std::map<QString, Handler> handlers_;
};

}  // namespace hv::desktop
