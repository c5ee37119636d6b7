#include "ui/about_dialog.h"

#include <QDesktopServices>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QUrl>

#include "ui/classic_look.h"
#include "ui/dialog_keys.h"
#include "ui/guard.h"

namespace quellar {

TAbout::TAbout(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("About"));
  setWindowTitle(QStringLiteral(u"О программе"));
  setFont(ClassicWindowFont());
  setFixedSize(221, 194);
  move(365, 273);

  Label1 = new QLabel(QStringLiteral("Programming by Tessel special for Vorlane"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  // The line was laid out for a face a few per cent narrower than today's
  // metric-compatible one; a pixel less between words keeps it inside the dialog.
  QFont creditFont = font();
  creditFont.setWordSpacing(-1);
  Label1->setFont(creditFont);
  Label1->move(16, 32);
  Label1->adjustSize();

  Label2 = new QLabel(QStringLiteral(u"Клан Brannock будет рад видеть Вас в своем составе"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setGeometry(16, 64, 178, 26);
  Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Label2->setWordWrap(true);

  Button1 = new QPushButton(QStringLiteral(u"Закрыть"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(64, 144, 89, 33);
  Button1->setAutoDefault(false);
  Button1->setDefault(false);

  Label3 = new QLabel(QString::fromLatin1(kClanSiteAddress), this);
  Label3->setObjectName(QStringLiteral("Label3"));
  QFont linkFont = Label3->font();
  linkFont.setUnderline(true);
  Label3->setFont(linkFont);
  QPalette linkPalette = Label3->palette();
  linkPalette.setColor(QPalette::WindowText, Qt::blue);
  Label3->setPalette(linkPalette);
  Label3->setCursor(Qt::PointingHandCursor);
  Label3->move(64, 112);
  Label3->adjustSize();
  Label3->installEventFilter(this);
  Label3->setAccessibleName(QStringLiteral(u"Сайт клана Brannock"));
  Label3->setAccessibleDescription(QStringLiteral(u"Открыть адрес в браузере"));

  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

bool TAbout::eventFilter(QObject* watched, QEvent* event) {
  // A click on the link: the left button pressed and released over it.
  if (watched == Label3) {
    if (event->type() == QEvent::MouseButtonPress) {
      linkPressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    } else if (event->type() == QEvent::MouseButtonRelease) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const bool clicked = linkPressed_ && mouse->button() == Qt::LeftButton &&
                           Label3->rect().contains(mouse->position().toPoint());
      linkPressed_ = false;
      if (clicked)
        Label3Click();
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TAbout::keyPressEvent(QKeyEvent* event) {
  if (!HandleDialogKey(*this, *event))
    QDialog::keyPressEvent(event);
}

void TAbout::Label3Click() {
  // Whether anything opened the address is not examined.
  Guarded([] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kClanSiteAddress))); });
}

void TAbout::Button1Click() {
  Guarded([this] { reject(); });
}

}  // namespace quellar
