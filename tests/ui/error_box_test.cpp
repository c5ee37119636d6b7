#include "ui/error_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "common/error.h"
#include "support/printers.h"
#include "ui/guard.h"

namespace quellar {
namespace {

struct BoxTextCase {
  std::string message;
  QString shown;
};

void PrintTo(const BoxTextCase& c, std::ostream* out) {
  *out << testing::PrintToString(c.message);
}

class ErrorBoxTextRule : public testing::TestWithParam<BoxTextCase> {};

TEST_P(ErrorBoxTextRule, appendsAFullStopOnlyAfterCodesAboveIt) {
  EXPECT_EQ(ErrorBoxText(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    ErrorBox, ErrorBoxTextRule,
    testing::Values(BoxTextCase{"Socket Error # 111\nConnection refused.",
                                "Socket Error # 111\nConnection refused."},
                    BoxTextCase{"Socket Error # 5\n", "Socket Error # 5\n"},
                    BoxTextCase{"HTTP/1.1 404 Not Found", "HTTP/1.1 404 Not Found."},
                    BoxTextCase{"'x' is not a valid integer value",
                                "'x' is not a valid integer value."},
                    BoxTextCase{"code 7", "code 7."}, BoxTextCase{"done!", "done!"},
                    BoxTextCase{"(see above)", "(see above)"}, BoxTextCase{"a-", "a-"},
                    BoxTextCase{"a/", "a/."}, BoxTextCase{"", ""},
                    BoxTextCase{"\xCE\xF8\xE8\xE1\xEA\xE0", QStringLiteral(u"Ошибка.")}));

TEST(ErrorBox, guardShowsTheMessageOfAnEscapingError) {
  QStringList shown;
  const auto previous = SetErrorBoxPresenter([&](const QString& text) { shown << text; });
  bool reachedAfter = false;
  Guarded([&] {
    throw Error("Host not found");
    reachedAfter = true;  // never runs: the handler ends at the failing step
  });
  Guarded([] {});
  SetErrorBoxPresenter(previous);
  EXPECT_FALSE(reachedAfter);
  EXPECT_EQ(shown, QStringList{"Host not found."});
}

TEST(ErrorBox, isModalWithStopIconOkButtonAndTheApplicationTitle) {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    buttons = box->standardButtons();
    box->accept();
  });
  ShowErrorBox("Connection Closed Gracefully.");
  EXPECT_EQ(title, "quellar");
  EXPECT_EQ(text, "Connection Closed Gracefully.");
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(buttons, QMessageBox::Ok);
}

}  // namespace
}  // namespace quellar
