#include "ui/desktop_notifier.h"

namespace quellar {

void DesktopNotifier::setEnabled(bool) {}

NoticeLimits DesktopNotifier::limits() const {
  return {};
}

#if !defined(_WIN32) && !defined(QUELLAR_DBUS_NOTIFIER)
DesktopNotifier* NewPlatformNotifier(QWidget*) {
  return nullptr;
}
#endif

}  // namespace quellar
