#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "support/child.h"
#include "support/printers.h"
#include "support/wine.h"
#include "ui/about_dialog.h"

namespace quellar {
namespace {

// Receives what the dialog asks the desktop to open, instead of a web browser.
class OpenedUrls : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> urls;

 public slots:
  void open(const QUrl& url) { urls << url; }
};

// While alive, "http" addresses go to the receiver.
class HttpHandlerScope {
 public:
  explicit HttpHandlerScope(OpenedUrls& receiver) {
    // Qt's handler registration names the slot by its text.
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &receiver, "open");
  }
  ~HttpHandlerScope() { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }
  HttpHandlerScope(const HttpHandlerScope&) = delete;
  HttpHandlerScope& operator=(const HttpHandlerScope&) = delete;
};

TEST(AboutDialog, recruitmentLineIsCentredAndWrapsOverTwoLines) {
  AboutDialog about;
  auto* recruit = test::Child<QLabel>(about, "recruitLabel");
  EXPECT_EQ(recruit->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  EXPECT_TRUE(recruit->wordWrap());
  if (test::RunningUnderWine())
    GTEST_SKIP() << "Wine has no Windows fonts here, and its stand-ins are wider";
  const QFontMetrics metrics(recruit->font());
  const QRect wrapped = metrics.boundingRect(QRect(0, 0, 178, 1000),
                                             Qt::AlignHCenter | Qt::TextWordWrap, recruit->text());
  EXPECT_GT(wrapped.height(), metrics.height());
  EXPECT_LE(wrapped.height(), recruit->height());
}

TEST(AboutDialog, linkIsABlueUnderlinedAddressWithAHandCursor) {
  AboutDialog about;
  auto* link = test::Child<QLabel>(about, "siteLink");
  EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
  EXPECT_TRUE(link->font().underline());
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
}

TEST(AboutDialog, clickOnTheLinkOpensExactlyTheAddressItShows) {
  OpenedUrls opened;
  const HttpHandlerScope scope(opened);
  AboutDialog about;
  auto* link = test::Child<QLabel>(about, "siteLink");
  about.show();
  QTest::mouseClick(link, Qt::LeftButton);
  ASSERT_EQ(opened.urls.size(), 1);
  EXPECT_EQ(opened.urls.front().toString(), link->text());
  EXPECT_TRUE(about.isVisible());
  about.close();
}

TEST(AboutDialog, pressOnTheLinkReleasedElsewhereOpensNothing) {
  OpenedUrls opened;
  const HttpHandlerScope scope(opened);
  AboutDialog about;
  auto* link = test::Child<QLabel>(about, "siteLink");
  about.show();
  QTest::mousePress(link, Qt::LeftButton);
  QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-5, -5));
  EXPECT_TRUE(opened.urls.isEmpty());
  about.close();
}

TEST(AboutDialog, closeButtonEndsTheModalDialog) {
  AboutDialog about;
  auto* closeButton = test::Child<QPushButton>(about, "closeButton");
  bool wasModal = false;
  QTimer::singleShot(0, &about, [&] {
    wasModal = QApplication::activeModalWidget() == &about;
    QTest::mouseClick(closeButton, Qt::LeftButton);
  });
  about.exec();
  EXPECT_TRUE(wasModal);
  EXPECT_FALSE(about.isVisible());
}

TEST(AboutDialog, titleBarCloseEndsTheModalDialog) {
  AboutDialog about;
  QTimer::singleShot(0, &about, [&] { about.close(); });
  about.exec();
  EXPECT_FALSE(about.isVisible());
}

TEST(AboutDialog, escapeLeavesTheDialogOpen) {
  AboutDialog about;
  auto* closeButton = test::Child<QPushButton>(about, "closeButton");
  bool openAfterEscape = false;
  QTimer::singleShot(0, &about, [&] {
    QTest::keyClick(closeButton, Qt::Key_Escape);
    QTest::keyClick(&about, Qt::Key_Escape);
    openAfterEscape = about.isVisible();
    about.close();
  });
  about.exec();
  EXPECT_TRUE(openAfterEscape);
}

}  // namespace
}  // namespace quellar

#include "about_dialog_test.moc"
