#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quellar {

// The web site of the clan Brannock: the dialog's link shows exactly this address
// and a click on it opens it.
inline constexpr char kClanSiteAddress[] = "http://brannock.example/";

// The about dialog: a credit line, a recruitment line and the clan's web address.
// Every handler runs its body through the handler guard.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private slots:
  void openSite();

 private:
  QLabel* creditLabel_ = nullptr;
  QLabel* recruitLabel_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  QLabel* siteLink_ = nullptr;
  bool linkPressed_ = false;
};

}  // namespace quellar
