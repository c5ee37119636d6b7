#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quellar {

// The web site of the clan Brannock: Label3 shows exactly this address and a
// click on it opens it.
inline constexpr char kClanSiteAddress[] = "http://brannock.example/";

// The about dialog: a credit line, a recruitment line and the clan's web address.
class TAbout : public QDialog {
  Q_OBJECT

 public:
  explicit TAbout(QWidget* parent = nullptr);

  // The controls, each also reachable by an object name equal to its member name.
  QLabel* Label1;
  QLabel* Label2;
  QPushButton* Button1;
  QLabel* Label3;

  // The event handlers; each runs its body through the handler guard.
  void Label3Click();
  void Button1Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool linkPressed_ = false;
};

}  // namespace quellar
