// Windows shows a program's notices as its tray icon's message.
#ifdef _WIN32

#include <QIcon>
#include <QSystemTrayIcon>
#include <QWidget>

#include "ui/desktop_notifier.h"

namespace quellar {
namespace {

class TrayNotifier final : public DesktopNotifier {
 public:
  explicit TrayNotifier(QWidget* window) : DesktopNotifier(window), window_(window) {}

  // The icon is in the tray only while the notices are on.
  void setEnabled(bool on) override {
    if (on == (tray_ != nullptr))
      return;
    if (!on) {
      delete tray_;
      tray_ = nullptr;
      return;
    }
    tray_ = new QSystemTrayIcon(window_->windowIcon(), this);
    tray_->setToolTip(window_->windowTitle());
    connect(tray_, &QSystemTrayIcon::messageClicked, this, &DesktopNotifier::activated);
    tray_->show();
  }

  // With no icon of ours the shell draws its own information icon. Ours would be
  // an icon handle that Qt makes for each notice and never destroys, and one that
  // Wine's tray, in a process of its own, cannot draw: it then lays the balloon
  // out for a title with no icon and cuts off the text's last line.
  void show(const QString& summary, const QString& body) override {
    if (tray_ != nullptr)
      tray_->showMessage(summary, body, QIcon());
  }

  // The balloon's title holds 63 characters and its text 255: fewer nicks are
  // named, the rest counted.
  NoticeLimits limits() const override { return NoticeLimits{10, 63, 255}; }

 private:
  QWidget* window_;
  QSystemTrayIcon* tray_ = nullptr;
};

}  // namespace

DesktopNotifier* NewPlatformNotifier(QWidget* window) {
  return new TrayNotifier(window);
}

}  // namespace quellar

#endif  // _WIN32
