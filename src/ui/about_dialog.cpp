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

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(QStringLiteral(u"О программе"));
  setFont(ClassicWindowFont());
  setFixedSize(221, 194);
  move(365, 273);

  creditLabel_ = new QLabel(QStringLiteral("Programming by Tessel special for Vorlane"), this);
  creditLabel_->setObjectName(QStringLiteral("creditLabel"));
  // The line was laid out for a face a few per cent narrower than today's
  // metric-compatible one; a pixel less between words keeps it inside the dialog.
  QFont creditFont = font();
  creditFont.setWordSpacing(-1);
  creditLabel_->setFont(creditFont);
  creditLabel_->move(16, 32);
  creditLabel_->adjustSize();

  recruitLabel_ =
      new QLabel(QStringLiteral(u"Клан Brannock будет рад видеть Вас в своем составе"), this);
  recruitLabel_->setObjectName(QStringLiteral("recruitLabel"));
  recruitLabel_->setGeometry(16, 64, 178, 26);
  recruitLabel_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  recruitLabel_->setWordWrap(true);

  closeButton_ = new QPushButton(QStringLiteral(u"Закрыть"), this);
  closeButton_->setObjectName(QStringLiteral("closeButton"));
  closeButton_->setGeometry(64, 144, 89, 33);
  closeButton_->setAutoDefault(false);
  closeButton_->setDefault(false);

  siteLink_ = new QLabel(QString::fromLatin1(kClanSiteAddress), this);
  siteLink_->setObjectName(QStringLiteral("siteLink"));
  QFont linkFont = siteLink_->font();
  linkFont.setUnderline(true);
  siteLink_->setFont(linkFont);
  QPalette linkPalette = siteLink_->palette();
  linkPalette.setColor(QPalette::WindowText, Qt::blue);
  siteLink_->setPalette(linkPalette);
  siteLink_->setCursor(Qt::PointingHandCursor);
  siteLink_->move(64, 112);
  siteLink_->adjustSize();
  siteLink_->installEventFilter(this);
  siteLink_->setAccessibleName(QStringLiteral(u"Сайт клана Brannock"));
  siteLink_->setAccessibleDescription(QStringLiteral(u"Открыть адрес в браузере"));

  connect(closeButton_, &QPushButton::clicked, this, [this] { Guarded([this] { reject(); }); });
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
  // A click on the link: the left button pressed and released over it.
  if (watched == siteLink_) {
    if (event->type() == QEvent::MouseButtonPress) {
      linkPressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    } else if (event->type() == QEvent::MouseButtonRelease) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const bool clicked = linkPressed_ && mouse->button() == Qt::LeftButton &&
                           siteLink_->rect().contains(mouse->position().toPoint());
      linkPressed_ = false;
      if (clicked)
        openSite();
    }
  }
  return QDialog::eventFilter(watched, event);
}

void AboutDialog::keyPressEvent(QKeyEvent* event) {
  if (!HandleDialogKey(*this, *event))
    QDialog::keyPressEvent(event);
}

void AboutDialog::openSite() {
  // Whether anything opened the address is not examined.
  Guarded([] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kClanSiteAddress))); });
}

}  // namespace quellar
