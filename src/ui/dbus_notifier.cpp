// The freedesktop notification service, which every Linux desktop and the small
// notification daemons serve on the session bus.

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QSet>
#include <QStringList>
#include <QVariantMap>
#include <QVector>
#include <QWidget>
#include <cstdio>
#include <optional>
#include <utility>

#include "ui/desktop_notifier.h"
#include "ui/error_box.h"

namespace quellar {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = kService;
const QString kDefaultAction = QStringLiteral("default");

QDBusMessage ServiceCall(const QString& method) {
  return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

// Nicks come from the network: where the body is read as markup, none of them
// may be taken for it.
QString EscapedMarkup(QString text) {
  text.replace(QLatin1Char('&'), QLatin1String("&amp;"));
  text.replace(QLatin1Char('<'), QLatin1String("&lt;"));
  text.replace(QLatin1Char('>'), QLatin1String("&gt;"));
  return text;
}

// No box for it: the notices are an extra, and the roster is in the window.
void ReportNoService(const QDBusError& error) {
  const QString name =
      error.isValid() ? error.name() : QDBusError::errorString(QDBusError::Disconnected);
  std::fprintf(stderr, "%s: no desktop notification service: %s\n", kApplicationTitle,
               name.toLocal8Bit().constData());
}

class DBusNotifier final : public DesktopNotifier {
  Q_OBJECT

 public:
  using DesktopNotifier::DesktopNotifier;

  void setEnabled(bool on) override {
    enabled_ = on;
    waiting_.clear();
    if (on && !listening_) {
      QDBusConnection bus = QDBusConnection::sessionBus();
      listening_ = bus.isConnected();
      if (listening_) {
        bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                    SLOT(actionInvoked(uint, QString)));
        bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                    SLOT(notificationClosed(uint, uint)));
      }
    }
  }

  void show(const QString& summary, const QString& body) override {
    if (!enabled_)
      return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
      ReportNoService(bus.lastError());
      return;
    }
    waiting_.append({summary, body});
    if (bodyMarkup_) {
      sendWaiting();
    } else if (!askingCapabilities_) {
      // Asked once, before the first notice: whether the body is read as markup.
      askingCapabilities_ = true;
      auto* call = new QDBusPendingCallWatcher(
          bus.asyncCall(ServiceCall(QStringLiteral("GetCapabilities"))), this);
      connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* c) {
        c->deleteLater();
        askingCapabilities_ = false;
        const QDBusPendingReply<QStringList> reply = *c;
        if (reply.isError()) {
          waiting_.clear();
          ReportNoService(reply.error());
          return;
        }
        bodyMarkup_ = reply.value().contains(QStringLiteral("body-markup"));
        sendWaiting();
      });
    }
  }

 private slots:
  void actionInvoked(uint id, const QString& key) {
    if (key == kDefaultAction && shown_.contains(id))
      emit activated();
  }

  void notificationClosed(uint id, uint) { shown_.remove(id); }

 private:
  struct Notice {
    QString summary;
    QString body;
  };

  void sendWaiting() {
    for (const Notice& notice : std::exchange(waiting_, {})) {
      QDBusMessage notify = ServiceCall(QStringLiteral("Notify"));
      notify << QStringLiteral("Quellar") << uint{0} << QStringLiteral("quellar") << notice.summary
             << (*bodyMarkup_ ? EscapedMarkup(notice.body) : notice.body)
             << QStringList{kDefaultAction, QStringLiteral("Открыть")}
             << QVariantMap{{QStringLiteral("desktop-entry"),
                             QStringLiteral(QUELLAR_DESKTOP_ENTRY)},
                            {QStringLiteral("category"), QStringLiteral("presence")}}
             << -1;
      // The daemon answers when it likes; the window goes on meanwhile.
      auto* call =
          new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(notify), this);
      connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* c) {
        c->deleteLater();
        const QDBusPendingReply<uint> reply = *c;
        if (reply.isError())
          ReportNoService(reply.error());
        else
          shown_.insert(reply.value());
      });
    }
  }

  bool enabled_ = false;
  bool listening_ = false;
  bool askingCapabilities_ = false;
  std::optional<bool> bodyMarkup_;
  QVector<Notice> waiting_;
  // The ids of our notices still on the screen, whose click raises the window.
  QSet<uint> shown_;
};

}  // namespace

DesktopNotifier* NewPlatformNotifier(QWidget* window) {
  return new DBusNotifier(window);
}

}  // namespace quellar

#include "dbus_notifier.moc"
