#include "desktop/window_bus.h"

#include <unistd.h>

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>
#include <QWidget>

namespace hv::desktop {

namespace {

class WindowAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.halvor.Window")
  Q_PROPERTY(QString Title READ title)
 public:
  WindowAdaptor(QObject* holder, WindowBus* bus) : QDBusAbstractAdaptor(holder), bus_(bus) {}
  QString title() const { return bus_->title(); }

 public slots:
  qlonglong Send(const QString& message, qulonglong first, qlonglong second) {
    return bus_->dispatch(message, first, second);
  }

 private:
  WindowBus* bus_;
};

}  // namespace

WindowBus::WindowBus(QObject* parent) : QObject(parent) {}

WindowBus::~WindowBus() {
  if (!service_.isEmpty()) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(kWindowPath);
    bus.unregisterService(service_);
  }
}

bool WindowBus::available() { return QDBusConnection::sessionBus().isConnected(); }

bool WindowBus::claimName(const QString& name) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || bus.interface() == nullptr) return true;
  QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus.interface()->registerService(
      name, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
  if (!reply.isValid()) return !bus.interface()->isServiceRegistered(name).value();
  return reply.value() == QDBusConnectionInterface::ServiceRegistered;
}

bool WindowBus::publish(QWidget* window) {
  window_ = window;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  const QString name = QString(kWindowServicePrefix) + QString::number(::getpid());
  auto* holder = new QObject(this);
  new WindowAdaptor(holder, this);
  if (!bus.registerObject(kWindowPath, holder, QDBusConnection::ExportAdaptors)) return false;
  if (!bus.registerService(name)) {
    bus.unregisterObject(kWindowPath);
    return false;
  }
  service_ = name;
  return true;
}

QString WindowBus::title() const { return window_ ? window_->windowTitle() : QString(); }

void WindowBus::setHandler(const QString& message, Handler handler) { handlers_[message] = std::move(handler); }

qint64 WindowBus::dispatch(const QString& message, quint64 first, qint64 second) {
  auto it = handlers_.find(message);
  if (it == handlers_.end() || !it->second) return kNotHandled;
  return it->second(first, second);
}

QStringList WindowBus::windowServices() const {
  QStringList out;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || bus.interface() == nullptr) return out;
  const QStringList names = bus.interface()->registeredServiceNames().value();
  for (const QString& n : names)
    if (n.startsWith(kWindowServicePrefix) && n != service_) out << n;
  return out;
}

QString WindowBus::titleOf(const QString& service) const {
  QDBusInterface props(service, kWindowPath, "org.freedesktop.DBus.Properties", QDBusConnection::sessionBus());
  props.setTimeout(kSendTimeoutMs);
  QDBusReply<QDBusVariant> reply = props.call("Get", QString(kWindowInterface), QString("Title"));
  return reply.isValid() ? reply.value().variant().toString() : QString();
}

QString WindowBus::FindWindowByTitle(const QString& pattern) const {
  const QStringList parts = pattern.toUpper().split('+');
  for (const QString& service : windowServices()) {
    const QString title = titleOf(service).toUpper();
    bool all = true;
    for (const QString& p : parts) all = all && title.contains(p);
    if (all) return service;
  }
  return {};
}

qint64 WindowBus::send(const QString& service, const QString& message, quint64 first, qint64 second, bool* ok,
                       int timeoutMs) const {
  QDBusInterface target(service, kWindowPath, kWindowInterface, QDBusConnection::sessionBus());
  target.setTimeout(timeoutMs);
  QDBusReply<qlonglong> reply =
      target.call("Send", message, QVariant::fromValue<qulonglong>(first), QVariant::fromValue<qlonglong>(second));
  if (ok) *ok = reply.isValid();
  return reply.isValid() ? reply.value() : 0;
}

}  // namespace hv::desktop

#include "window_bus.moc"
