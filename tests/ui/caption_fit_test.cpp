#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "main_window_harness.h"
#include "resolved_font.h"
#include "support/printers.h"
#include "ui/shell.h"

namespace quellar {
namespace {

// Every caption measured with the font its widget really resolved to, on the
// platform the test runs on (offscreen, and xcb under Xvfb).

QString Fault(const QWidget* widget, const QString& caption, const QString& what) {
  return QStringLiteral("%1 \"%2\": %3").arg(widget->objectName(), caption, what);
}

QString Width(int needed, int has) {
  return QStringLiteral("needs %1 pixels, has %2").arg(needed).arg(has);
}

QStringList LabelFaults(const QLabel* label) {
  const QRect inside = label->contentsRect();
  const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
  const QRect text = label->fontMetrics().boundingRect(
      QRect(0, 0, label->wordWrap() ? inside.width() : 10000, 10000), flags, label->text());
  QStringList faults;
  if (text.width() > inside.width())
    faults << Fault(label, label->text(), Width(text.width(), inside.width()));
  if (label->wordWrap() && text.height() > inside.height())
    faults << Fault(
        label, label->text(),
        QStringLiteral("wraps to %1 pixels high, has %2").arg(text.height()).arg(inside.height()));
  if (!label->parentWidget()->contentsRect().contains(label->geometry()))
    faults << Fault(label, label->text(), QStringLiteral("leaves its parent"));
  return faults;
}

QStringList ButtonFaults(const QAbstractButton* button) {
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  const bool checkBox = qobject_cast<const QCheckBox*>(button) != nullptr;
  const int has =
      button->style()
          ->subElementRect(checkBox ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents,
                           &option, button)
          .width();
  int needed = button->fontMetrics().horizontalAdvance(button->text());
  if (!button->icon().isNull())
    needed += button->iconSize().width() + 4;  // the image and its gap
  return needed > has ? QStringList{Fault(button, button->text(), Width(needed, has))}
                      : QStringList{};
}

// The title fits, and no control sits on the frame line or the title.
QStringList GroupBoxFaults(const QGroupBox* box) {
  QStyleOptionGroupBox option;
  option.initFrom(box);
  option.text = box->title();
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  const auto part = [&](QStyle::SubControl sub) {
    return box->style()->subControlRect(QStyle::CC_GroupBox, &option, sub, box);
  };
  const QRect title = part(QStyle::SC_GroupBoxLabel);
  const QRect inside = part(QStyle::SC_GroupBoxFrame).adjusted(1, 1, -1, -1);  // 1-pixel lines
  QStringList faults;
  const int needed = box->fontMetrics().horizontalAdvance(box->title());
  if (needed > title.width())
    faults << Fault(box, box->title(), Width(needed, title.width()));
  for (const QWidget* control : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!inside.contains(control->geometry()) || control->geometry().intersects(title))
      faults << Fault(control, box->title(), QStringLiteral("lies on the frame or the title"));
  }
  return faults;
}

QStringList HeaderFaults(const QHeaderView* header) {
  QStringList faults;
  const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
  for (int column = 0; column < header->count(); ++column) {
    const QString text = header->model()->headerData(column, Qt::Horizontal).toString();
    const int needed = header->fontMetrics().horizontalAdvance(text) + margins;
    if (needed > header->sectionSize(column))
      faults << Fault(header, text, Width(needed, header->sectionSize(column)));
  }
  return faults;
}

// How many pixels of edit change when it shows text instead of nothing: the
// text's ink. The cursor stays out of it, as the edit has no focus.
int Ink(QLineEdit* edit, const QString& text) {
  const QString kept = edit->text();
  edit->clear();
  const QImage blank = edit->grab().toImage();
  edit->setText(text);
  const QImage written = edit->grab().toImage();
  edit->setText(kept);
  int ink = 0;
  for (int y = 0; y < blank.height(); ++y) {
    for (int x = 0; x < blank.width(); ++x)
      ink += blank.pixel(x, y) != written.pixel(x, y) ? 1 : 0;
  }
  return ink;
}

// Latin letters, digits and Cyrillic each leave ink, at least a pixel a
// character: a face that lacks the glyphs of one of them can draw an edit's
// text as nothing at all.
QStringList EditFaults(QLineEdit* edit) {
  const QWidget* named = edit->objectName().isEmpty() ? edit->parentWidget() : edit;
  QStringList faults;
  for (const QString& sample :
       {QStringLiteral("missing"), QStringLiteral("0123456789"), QStringLiteral(u"Тёмный")}) {
    if (const int ink = Ink(edit, sample); ink < sample.size())
      faults << Fault(named, sample, QStringLiteral("draws %1 pixels of ink").arg(ink));
  }
  return faults;
}

class CaptionFit : public testing::TestWithParam<const char*> {};  // a window's name

TEST_P(CaptionFit, everyCaptionFitsItsControlAndEveryEditDrawsItsText) {
  if (!test::PlatformHasFonts())
    GTEST_SKIP() << "this platform has no font to measure captions with";
  QTemporaryDir directory;
  ClanLists clans;
  MainWindowContext context;
  context.settingsDirectory = QFile::encodeName(directory.path()).toStdString();
  context.locale = test::TestLocale();
  context.clans = clans;
  context.userDataDirectory = context.settingsDirectory;
  std::unique_ptr<MainWindow> main = CreateWindows(context);
  // The history window is made when "История…" first opens it.
  if (QLatin1String(GetParam()) == QLatin1String("historyWindow"))
    main->findChild<QAction*>(QStringLiteral("historyWindowAction"))->trigger();
  QWidget* window = main->objectName() == QLatin1String(GetParam())
                        ? main.get()
                        : main->findChild<QWidget*>(QLatin1String(GetParam()));
  ASSERT_NE(window, nullptr);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

  if (QWidget* focused = QApplication::focusWidget())
    focused->clearFocus();

  // The dialogs belong to the main window; each is walked on its own.
  QStringList faults;
  int captions = 0;
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    if (widget->window() != window)
      continue;
    if (const auto* label = qobject_cast<const QLabel*>(widget); label && !label->text().isEmpty())
      faults << LabelFaults(label);
    else if (const auto* button = qobject_cast<const QAbstractButton*>(widget);
             button && !button->text().isEmpty())
      faults << ButtonFaults(button);
    else if (const auto* box = qobject_cast<const QGroupBox*>(widget))
      faults << GroupBoxFaults(box);
    else if (const auto* table = qobject_cast<const QTreeView*>(widget))
      faults << HeaderFaults(table->header());
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
      faults << EditFaults(edit);
    else
      continue;
    ++captions;
  }
  window->hide();
  EXPECT_GT(captions, 3);
  EXPECT_EQ(QFontInfo(window->font()).family(), test::ResolvedFamily());
  EXPECT_THAT(faults, testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Windows, CaptionFit,
                         testing::Values("mainWindow", "settingsDialog", "aboutDialog",
                                         "historyWindow"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param);
                         });

}  // namespace
}  // namespace quellar
