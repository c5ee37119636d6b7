#pragma once

#include <QObject>
#include <QString>

#include "roster/change_notice.h"

class QWidget;

namespace quellar {

// Shows the desktop notices of who came online and who left, the way the platform
// does it. Off until the user turns the notices on, so that a user who never does
// has nothing of it started.
class DesktopNotifier : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // Called when the notices are turned on or off; what the platform needs for them
  // (a bus connection, a tray icon) is there only while they are on.
  virtual void setEnabled(bool on);
  // Shows one notice. It may appear later, or, with no notification service, not
  // at all; the window never waits for it.
  virtual void show(const QString& summary, const QString& body) = 0;
  // How much of a notice the platform shows.
  virtual NoticeLimits limits() const;

 signals:
  // The user clicked a notice.
  void activated();
};

// The platform's notifier, owned by window, or null where there is none.
DesktopNotifier* NewPlatformNotifier(QWidget* window);

}  // namespace quellar
