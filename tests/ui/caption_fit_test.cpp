#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "main_window_harness.h"
#include "support/printers.h"
#include "ui/shell.h"

namespace quellar {
namespace {

// Every caption measured with the font its widget really resolved to, on the
// platform the test runs on (offscreen, and xcb under Xvfb).
struct Window {
  const char* name;  // the window's object name
};

void PrintTo(const Window& window, std::ostream* out) {
  *out << window.name;
}

QString Where(const QWidget* widget) {
  const auto* box = qobject_cast<const QGroupBox*>(widget);
  const QString caption = box != nullptr ? box->title() : widget->property("text").toString();
  return widget->objectName() + QStringLiteral(" \"") + caption + QStringLiteral("\": ");
}

QString TooNarrow(const QWidget* widget, int needed, int has) {
  return Where(widget) + QStringLiteral("needs %1 pixels, has %2").arg(needed).arg(has);
}

// Width of the check box's or button's text area as its style lays it out.
int ContentsWidth(const QAbstractButton* button, QStyle::SubElement element) {
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  option.icon = button->icon();
  option.iconSize = button->iconSize();
  return button->style()->subElementRect(element, &option, button).width();
}

QStringList LabelFaults(const QLabel* label) {
  const QFontMetrics metrics = label->fontMetrics();
  const QRect inside = label->contentsRect();
  if (label->wordWrap()) {
    const QRect wrapped = metrics.boundingRect(
        QRect(0, 0, inside.width(), 10000), Qt::TextWordWrap | label->alignment(), label->text());
    if (wrapped.height() > inside.height())
      return {Where(label) + QStringLiteral("wraps to %1 pixels high, has %2")
                                 .arg(wrapped.height())
                                 .arg(inside.height())};
    return {};
  }
  QStringList faults;
  const int needed = metrics.horizontalAdvance(label->text());
  if (needed > inside.width())
    faults << TooNarrow(label, needed, inside.width());
  if (!label->parentWidget()->contentsRect().contains(label->geometry()))
    faults << Where(label) + QStringLiteral("leaves its parent");
  return faults;
}

QStringList ButtonFaults(const QAbstractButton* button) {
  const QFontMetrics metrics = button->fontMetrics();
  int needed = metrics.horizontalAdvance(button->text());
  if (qobject_cast<const QCheckBox*>(button) != nullptr) {
    const int has = ContentsWidth(button, QStyle::SE_CheckBoxContents);
    return needed > has ? QStringList{TooNarrow(button, needed, has)} : QStringList{};
  }
  if (!button->icon().isNull())
    needed += button->iconSize().width() + 4;  // the image and its gap
  const int has = ContentsWidth(button, QStyle::SE_PushButtonContents);
  return needed > has ? QStringList{TooNarrow(button, needed, has)} : QStringList{};
}

// The title fits, and no control sits on the frame line or the title.
QStringList GroupBoxFaults(const QGroupBox* box) {
  QStyleOptionGroupBox option;
  option.initFrom(box);
  option.text = box->title();
  option.lineWidth = 1;
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  option.textAlignment = box->alignment();
  const QRect title =
      box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
  const QRect frame =
      box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, box);
  QStringList faults;
  const int needed = box->fontMetrics().horizontalAdvance(box->title());
  if (needed > title.width())
    faults << TooNarrow(box, needed, title.width());
  // Inside the frame's lines, which are one pixel wide.
  const QRect interior = frame.adjusted(1, 1, -1, -1);
  for (const QWidget* control : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const QRect place = control->geometry();
    if (!interior.contains(place) || place.intersects(title))
      faults << Where(control) + QStringLiteral("lies on the frame or the title of ") +
                    box->objectName();
  }
  return faults;
}

QStringList HeaderFaults(const QHeaderView* header) {
  QStringList faults;
  const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
  for (int column = 0; column < header->count(); ++column) {
    const QString text = header->model()->headerData(column, Qt::Horizontal).toString();
    const int needed = header->fontMetrics().horizontalAdvance(text) + margin;
    if (needed > header->sectionSize(column))
      faults << QStringLiteral("column \"%1\": needs %2 pixels, has %3")
                    .arg(text)
                    .arg(needed)
                    .arg(header->sectionSize(column));
  }
  return faults;
}

class CaptionFit : public testing::TestWithParam<Window> {};

TEST_P(CaptionFit, everyCaptionFitsItsControlWithTheResolvedFont) {
  QTemporaryDir directory;
  ClanLists clans;
  MainWindowContext context;
  context.settingsDirectory = QFile::encodeName(directory.path()).toStdString();
  context.locale = test::TestLocale();
  context.clans = clans;
  std::unique_ptr<TMain> main = CreateWindows(context);
  QWidget* window = main->objectName() == QLatin1String(GetParam().name)
                        ? main.get()
                        : main->findChild<QWidget*>(QLatin1String(GetParam().name));
  ASSERT_NE(window, nullptr);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

  QStringList faults;
  int captions = 0;
  // The dialogs belong to the main window; each is walked on its own.
  for (const QLabel* label : window->findChildren<QLabel*>()) {
    if (label->text().isEmpty() || label->window() != window)
      continue;
    faults << LabelFaults(label);
    ++captions;
  }
  for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
    if (button->text().isEmpty() || button->window() != window)
      continue;
    faults << ButtonFaults(button);
    ++captions;
  }
  for (const QGroupBox* box : window->findChildren<QGroupBox*>()) {
    if (box->window() != window)
      continue;
    faults << GroupBoxFaults(box);
    ++captions;
  }
  for (const QTreeView* table : window->findChildren<QTreeView*>()) {
    if (table->window() != window)
      continue;
    faults << HeaderFaults(table->header());
    captions += table->header()->count();
  }
  window->hide();
  EXPECT_GT(captions, 3);
  EXPECT_THAT(faults, testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Windows, CaptionFit,
                         testing::Values(Window{"Main"}, Window{"param"}, Window{"About"}),
                         [](const testing::TestParamInfo<Window>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace quellar
