#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "common/cp1251.h"
#include "resolved_font.h"
#include "settings/clan_lists.h"
#include "settings/settings_file.h"
#include "support/printers.h"
#include "ui/error_box.h"
#include "ui/settings_dialog.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

using Names = std::vector<std::string>;

std::string Cp(QStringView text) {
  return ToCp1251(text);
}

// A file as written by the program: Windows-1251 names, CR LF lines.
const std::string kVoiny = Cp(u"Воины");
const std::string kStrazhi = Cp(u"Стражи");
const std::string kTwoServersAndProxy = "[x3]\r\nClanName1=" + kVoiny +
                                        "\r\nClanName2=Brannock\r\n"
                                        "[x300]\r\nClanName1=" +
                                        kStrazhi +
                                        "\r\n"
                                        "[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=3128\r\n";

QStringList Items(const QListWidget& list) {
  QStringList items;
  for (int row = 0; row < list.count(); ++row)
    items << list.item(row)->text();
  return items;
}

class SettingsDialog : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(directory_.isValid());
    previousPresenter_ = SetErrorBoxPresenter([this](const QString& text) { boxes << text; });
    dialog = std::make_unique<Tparam>(file, clans);
    QObject::connect(dialog.get(), &Tparam::settingsSaved, [this] { ++saved; });
  }

  void TearDown() override {
    dialog.reset();
    SetErrorBoxPresenter(previousPresenter_);
  }

  void WriteFile(const std::string& bytes) const {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
  }

  std::string ReadFile() const {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // Shown without a nested event loop: enough for everything the opening does.
  void Open() { dialog->show(); }

  // Runs the dialog modally; the steps run inside its event loop. A dialog the
  // steps leave open is then closed, so a failing test cannot hang.
  int RunModal(const std::function<void()>& steps) {
    QTimer::singleShot(0, dialog.get(), [this, steps] {
      openedModally = QApplication::activeModalWidget() == dialog.get();
      steps();
      if (dialog->isVisible())
        dialog->done(-1);
    });
    return dialog->exec();
  }

  static void Type(QWidget* widget, const QString& text) {
    for (QChar ch : text)
      QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }

  static void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

  void PickServer(int index) {
    while (dialog->ComboBox1->currentIndex() < index)
      QTest::keyClick(dialog->ComboBox1, Qt::Key_Down);
    while (dialog->ComboBox1->currentIndex() > index)
      QTest::keyClick(dialog->ComboBox1, Qt::Key_Up);
  }

  void SelectName(int row) {
    QListWidget* list = dialog->ListBox1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
  }

  void Add(const QString& name) {
    Type(dialog->Edit1, name);
    Click(dialog->Button1);
  }

  void SetPort(const QString& text) {
    dialog->Port->clear();
    Type(dialog->Port, text);
  }

  QTemporaryDir directory_;
  const std::filesystem::path file =
      SettingsFilePath(std::filesystem::path(directory_.path().toStdString()));
  ClanLists clans;
  std::unique_ptr<Tparam> dialog;
  QStringList boxes;
  int saved = 0;
  bool openedModally = false;

 private:
  ErrorBoxPresenter previousPresenter_;
};

// --- Look --------------------------------------------------------------------

TEST_F(SettingsDialog, isAFixedToolWindowFirstShownAtItsPlace) {
  EXPECT_EQ(dialog->objectName(), "param");
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral(u"Настройки"));
  const Qt::WindowFlags flags = dialog->windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
  EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(dialog->minimumSize(), QSize(297, 343));
  EXPECT_EQ(dialog->maximumSize(), QSize(297, 343));
  if (test::PlatformHasFonts()) {
    EXPECT_EQ(QFontInfo(dialog->font()).family(), test::kResolvedFamily);
  }
  EXPECT_EQ(dialog->font().pixelSize(), 11);
  Open();
  // The window's outer top-left corner, as the window system places it.
  EXPECT_EQ(dialog->frameGeometry().topLeft(), QPoint(313, 224));
  EXPECT_EQ(dialog->size(), QSize(297, 343));
}

struct ControlCase {
  const char* name;
  const char* parent;
  QString caption;
  QRect place;  // an empty size: the control sizes itself to its caption
};

class SettingsDialogControl : public SettingsDialog,
                              public testing::WithParamInterface<ControlCase> {};

QString CaptionOf(QWidget* widget) {
  if (auto* box = qobject_cast<QGroupBox*>(widget))
    return box->title();
  if (auto* button = qobject_cast<QAbstractButton*>(widget))
    return button->text();
  if (auto* label = qobject_cast<QLabel*>(widget))
    return label->text();
  return {};
}

TEST_P(SettingsDialogControl, hasItsNameParentCaptionAndPlace) {
  const ControlCase& control = GetParam();
  auto* widget = dialog->findChild<QWidget*>(QString::fromLatin1(control.name));
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(control.parent));
  EXPECT_EQ(CaptionOf(widget), control.caption);
  if (control.place.isEmpty())
    EXPECT_EQ(widget->pos(), control.place.topLeft());
  else
    EXPECT_EQ(widget->geometry(), control.place);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsDialog, SettingsDialogControl,
    testing::Values(
        ControlCase{"GroupBox2", "param", QStringLiteral(u"Кланы"), QRect(8, 8, 281, 201)},
        ControlCase{"Edit1", "GroupBox2", {}, QRect(8, 16, 113, 21)},
        ControlCase{"ComboBox1", "GroupBox2", {}, QRect(128, 16, 57, 21)},
        ControlCase{"Button1", "GroupBox2", QStringLiteral(u"Добавить"), QRect(192, 16, 81, 21)},
        ControlCase{"ListBox1", "GroupBox2", {}, QRect(8, 48, 177, 145)},
        ControlCase{"Button2", "GroupBox2", QStringLiteral(u"Удалить  "), QRect(192, 48, 81, 21)},
        ControlCase{"GroupBox1", "param", QStringLiteral(u"Прокси"), QRect(8, 216, 281, 89)},
        ControlCase{"CheckBox1", "GroupBox1", QStringLiteral(u"Использовать прокси"),
                    QRect(8, 16, 145, 17)},
        ControlCase{"Label1", "GroupBox1", QStringLiteral(u"Сервер"), QRect(8, 40, 0, 0)},
        ControlCase{"Proxy", "GroupBox1", {}, QRect(8, 56, 169, 21)},
        ControlCase{"Label3", "GroupBox1", QStringLiteral(":"), QRect(184, 56, 0, 0)},
        ControlCase{"Label2", "GroupBox1", QStringLiteral(u"Порт"), QRect(192, 40, 0, 0)},
        ControlCase{"Port", "GroupBox1", {}, QRect(192, 56, 81, 21)},
        ControlCase{"Button4", "param", QStringLiteral(u"ОК"), QRect(136, 312, 73, 25)},
        ControlCase{"Cancel", "param", QStringLiteral(u"Отмена"), QRect(216, 312, 73, 25)}),
    [](const testing::TestParamInfo<ControlCase>& info) { return std::string(info.param.name); });

TEST_F(SettingsDialog, membersAreTheNamedControls) {
  EXPECT_EQ(dialog->findChild<QGroupBox*>("GroupBox1"), dialog->GroupBox1);
  EXPECT_EQ(dialog->findChild<QGroupBox*>("GroupBox2"), dialog->GroupBox2);
  EXPECT_EQ(dialog->findChild<QListWidget*>("ListBox1"), dialog->ListBox1);
  EXPECT_EQ(dialog->findChild<QLineEdit*>("Edit1"), dialog->Edit1);
  EXPECT_EQ(dialog->findChild<QPushButton*>("Cancel"), dialog->Cancel);
  EXPECT_EQ(dialog->findChild<QPushButton*>("Button4"), dialog->Button4);
  EXPECT_EQ(dialog->findChild<QCheckBox*>("CheckBox1"), dialog->CheckBox1);
  EXPECT_EQ(dialog->findChild<QLabel*>("Label1"), dialog->Label1);
  EXPECT_EQ(dialog->findChild<QLineEdit*>("Proxy"), dialog->Proxy);
  EXPECT_EQ(dialog->findChild<QLineEdit*>("Port"), dialog->Port);
  EXPECT_EQ(dialog->findChild<QLabel*>("Label2"), dialog->Label2);
  EXPECT_EQ(dialog->findChild<QLabel*>("Label3"), dialog->Label3);
  EXPECT_EQ(dialog->findChild<QComboBox*>("ComboBox1"), dialog->ComboBox1);
  EXPECT_EQ(dialog->findChild<QPushButton*>("Button1"), dialog->Button1);
  EXPECT_EQ(dialog->findChild<QPushButton*>("Button2"), dialog->Button2);
}

TEST_F(SettingsDialog, addAndDeleteCarrySmallImagesFromTheFirstOpening) {
  // Looked up in the icon theme when first needed, not while the program starts.
  EXPECT_TRUE(dialog->Button1->icon().isNull());
  EXPECT_TRUE(dialog->Button2->icon().isNull());
  Open();
  EXPECT_FALSE(dialog->Button1->icon().isNull());
  EXPECT_FALSE(dialog->Button2->icon().isNull());
  EXPECT_TRUE(dialog->Button4->icon().isNull());
  EXPECT_TRUE(dialog->Cancel->icon().isNull());
}

TEST_F(SettingsDialog, opensWithoutAFileInItsInitialState) {
  Open();
  EXPECT_EQ(dialog->Edit1->text(), "");
  EXPECT_FALSE(dialog->ComboBox1->isEditable());
  ASSERT_EQ(dialog->ComboBox1->count(), 2);
  EXPECT_EQ(dialog->ComboBox1->itemText(0), "x3");
  EXPECT_EQ(dialog->ComboBox1->itemText(1), "x300");
  EXPECT_EQ(dialog->ComboBox1->currentIndex(), 0);
  EXPECT_EQ(dialog->ListBox1->count(), 0);
  EXPECT_FALSE(dialog->CheckBox1->isChecked());
  EXPECT_EQ(dialog->Proxy->text(), "");
  EXPECT_EQ(dialog->Port->text(), "80");
  EXPECT_FALSE(dialog->Label1->isEnabled());
  EXPECT_FALSE(dialog->Label2->isEnabled());
  EXPECT_FALSE(dialog->Proxy->isEnabled());
  EXPECT_FALSE(dialog->Port->isEnabled());
  EXPECT_TRUE(dialog->Label3->isEnabled());
  EXPECT_TRUE(boxes.isEmpty());
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(SettingsDialog, opensWithTheListsAndProxyOfTheFile) {
  WriteFile("[x300]\r\nClanName1=" + kStrazhi + "\r\n[x3]\r\nfirst=" + kVoiny +
            "\r\nClanName9=Brannock\r\n[Proxy]\r\nuse=1\r\nserver=proxy.local\r\nport=0x50\r\n");
  clans.clansX3 = {"stale"};
  Open();
  EXPECT_EQ(clans.clansX3, (Names{kVoiny, "Brannock"}));
  EXPECT_EQ(clans.clansX300, Names{kStrazhi});
  EXPECT_EQ(Items(*dialog->ListBox1), (QStringList{QStringLiteral(u"Воины"), "Brannock"}));
  EXPECT_EQ(dialog->ListBox1->selectedItems().size(), 0);
  EXPECT_TRUE(dialog->CheckBox1->isChecked());
  EXPECT_EQ(dialog->Proxy->text(), "proxy.local");
  EXPECT_EQ(dialog->Port->text(), "0x50");  // the port is read as text
  EXPECT_TRUE(dialog->Label1->isEnabled());
  EXPECT_TRUE(dialog->Label2->isEnabled());
  EXPECT_TRUE(dialog->Proxy->isEnabled());
  EXPECT_TRUE(dialog->Port->isEnabled());
  EXPECT_TRUE(dialog->Label3->isEnabled());
}

// --- Keyboard ----------------------------------------------------------------

TEST_F(SettingsDialog, tabOrderRunsFromOkThroughProxyToClans) {
  QStringList order;
  QWidget* widget = dialog->Button4;
  do {
    if ((widget->focusPolicy() & Qt::TabFocus) && widget->window() == dialog.get())
      order << widget->objectName();
    widget = widget->nextInFocusChain();
  } while (widget != dialog->Button4);
  EXPECT_EQ(order, (QStringList{"Button4", "Cancel", "CheckBox1", "Proxy", "Port", "Edit1",
                                "ListBox1", "ComboBox1", "Button1", "Button2"}));
}

TEST_F(SettingsDialog, firstOpeningFocusesOkSoEnterPressesIt) {
  QWidget* focused = nullptr;
  const int result = RunModal([&] {
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog.get()))
      return;
    focused = QApplication::focusWidget();
    if (focused != nullptr)
      QTest::keyClick(focused, Qt::Key_Return);
  });
  EXPECT_TRUE(openedModally);
  EXPECT_EQ(focused, dialog->Button4);
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(ReadFile(), "[Proxy]\r\nuse=0\r\nserver=\r\nport=80\r\n");
}

TEST_F(SettingsDialog, spaceOnTheFocusedOkPressesIt) {
  const int result = RunModal([&] { QTest::keyClick(dialog->Button4, Qt::Key_Space); });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(saved, 1);
}

TEST_F(SettingsDialog, neitherEnterNorEscapeTriggersAButtonFromElsewhere) {
  WriteFile(kTwoServersAndProxy);
  bool stillOpen = false;
  const int result = RunModal([&] {
    for (QWidget* field :
         {static_cast<QWidget*>(dialog->Edit1), static_cast<QWidget*>(dialog->Proxy),
          static_cast<QWidget*>(dialog->Port), static_cast<QWidget*>(dialog->ListBox1),
          static_cast<QWidget*>(dialog->CheckBox1)}) {
      field->setFocus();
      QTest::keyClick(field, Qt::Key_Return);
      QTest::keyClick(field, Qt::Key_Enter, Qt::KeypadModifier);
      QTest::keyClick(field, Qt::Key_Escape);
    }
    dialog->Button4->setFocus();
    QTest::keyClick(dialog->Button4, Qt::Key_Escape);
    dialog->Cancel->setFocus();
    QTest::keyClick(dialog->Cancel, Qt::Key_Escape);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    stillOpen = dialog->isVisible();
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, -1);  // closed by the test, not by a button
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(ReadFile(), kTwoServersAndProxy);
  EXPECT_TRUE(boxes.isEmpty());
}

// --- Clan lists --------------------------------------------------------------

TEST_F(SettingsDialog, addWithAnEmptyEditAddsNothing) {
  WriteFile(kTwoServersAndProxy);
  Open();
  Click(dialog->Button1);
  EXPECT_EQ(clans.clansX3, (Names{kVoiny, "Brannock"}));
  EXPECT_EQ(clans.clansX300, Names{kStrazhi});
  EXPECT_EQ(Items(*dialog->ListBox1), (QStringList{QStringLiteral(u"Воины"), "Brannock"}));
}

TEST_F(SettingsDialog, nameGoesToTheListOfTheDialogsOwnServer) {
  WriteFile(kTwoServersAndProxy);
  Open();
  PickServer(1);
  EXPECT_EQ(Items(*dialog->ListBox1), QStringList{QStringLiteral(u"Стражи")});
  Add(QStringLiteral(u"Ёжики"));
  EXPECT_EQ(dialog->Edit1->text(), "");
  EXPECT_EQ(clans.clansX3, (Names{kVoiny, "Brannock"}));
  EXPECT_EQ(clans.clansX300, (Names{kStrazhi, Cp(u"Ёжики")}));
  EXPECT_EQ(Items(*dialog->ListBox1),
            (QStringList{QStringLiteral(u"Стражи"), QStringLiteral(u"Ёжики")}));
  EXPECT_EQ(dialog->ListBox1->selectedItems().size(), 0);

  Click(dialog->Button4);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(ReadFile(),
            "[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=3128\r\n"
            "[x3]\r\nClanName1=" +
                kVoiny +
                "\r\nClanName2=Brannock\r\n"
                "[x300]\r\nClanName1=" +
                kStrazhi + "\r\nClanName2=" + Cp(u"Ёжики") + "\r\n");
}

TEST_F(SettingsDialog, nameIsAddedAsTyped) {
  Open();
  Add(QStringLiteral(u"  'Dark Elves' "));
  EXPECT_EQ(clans.clansX3, Names{"  'Dark Elves' "});
  Click(dialog->Button4);
  EXPECT_EQ(ReadFile(),
            "[x3]\r\nClanName1=  'Dark Elves' \r\n"
            "[Proxy]\r\nuse=0\r\nserver=\r\nport=80\r\n");
}

TEST_F(SettingsDialog, sameNameAddedTwiceIsSavedAsConsecutiveKeys) {
  Open();
  Add(QStringLiteral(u"Воины"));
  Add(QStringLiteral(u"Воины"));
  EXPECT_EQ(clans.clansX3, (Names{kVoiny, kVoiny}));
  EXPECT_EQ(Items(*dialog->ListBox1),
            (QStringList{QStringLiteral(u"Воины"), QStringLiteral(u"Воины")}));
  Click(dialog->Button4);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(ReadFile(), "[x3]\r\nClanName1=" + kVoiny + "\r\nClanName2=" + kVoiny +
                            "\r\n[Proxy]\r\nuse=0\r\nserver=\r\nport=80\r\n");
}

TEST_F(SettingsDialog, deleteRemovesTheSelectedEntryOfTheChosenServer) {
  WriteFile(
      "[x3]\r\nClanName1=A\r\nClanName2=B\r\nClanName3=A\r\n"
      "[x300]\r\nClanName1=A\r\n");
  Open();
  SelectName(2);
  ASSERT_EQ(dialog->ListBox1->selectedItems().size(), 1);
  Click(dialog->Button2);
  EXPECT_EQ(clans.clansX3, (Names{"A", "B"}));
  EXPECT_EQ(clans.clansX300, Names{"A"});
  EXPECT_EQ(Items(*dialog->ListBox1), (QStringList{"A", "B"}));
  EXPECT_EQ(dialog->ListBox1->selectedItems().size(), 0);
}

TEST_F(SettingsDialog, deleteWithNothingSelectedDoesNothing) {
  WriteFile(kTwoServersAndProxy);
  Open();
  Click(dialog->Button2);
  EXPECT_EQ(clans.clansX3, (Names{kVoiny, "Brannock"}));
  EXPECT_EQ(Items(*dialog->ListBox1), (QStringList{QStringLiteral(u"Воины"), "Brannock"}));
}

TEST_F(SettingsDialog, deletingTheLastNameLeavesNoSectionForThatServer) {
  WriteFile(kTwoServersAndProxy);
  Open();
  PickServer(1);
  SelectName(0);
  Click(dialog->Button2);
  EXPECT_TRUE(clans.clansX300.empty());
  EXPECT_EQ(dialog->ListBox1->count(), 0);
  Click(dialog->Button4);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(ReadFile(),
            "[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=3128\r\n"
            "[x3]\r\nClanName1=" +
                kVoiny + "\r\nClanName2=Brannock\r\n");
}

TEST_F(SettingsDialog, serverChoiceIsKeptBetweenOpenings) {
  WriteFile(kTwoServersAndProxy);
  Open();
  PickServer(1);
  Click(dialog->Cancel);
  Open();
  EXPECT_EQ(dialog->ComboBox1->currentIndex(), 1);
  EXPECT_EQ(Items(*dialog->ListBox1), QStringList{QStringLiteral(u"Стражи")});
}

TEST_F(SettingsDialog, cancelWritesNothingAndTheAddedNamesStayInMemoryUntilTheNextOpening) {
  WriteFile(kTwoServersAndProxy);
  const int result = RunModal([&] {
    Add(QStringLiteral("Brannock"));
    SelectName(0);
    Click(dialog->Button2);
    SetPort(QStringLiteral("8080"));
    Click(dialog->CheckBox1);
    Click(dialog->Cancel);
  });
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(ReadFile(), kTwoServersAndProxy);
  // The shared lists still hold the dialog's edits: the main window sees them.
  EXPECT_EQ(clans.clansX3, (Names{"Brannock", "Brannock"}));

  Open();
  EXPECT_EQ(clans.clansX3, (Names{kVoiny, "Brannock"}));
  EXPECT_EQ(Items(*dialog->ListBox1), (QStringList{QStringLiteral(u"Воины"), "Brannock"}));
  EXPECT_TRUE(dialog->CheckBox1->isChecked());
  EXPECT_EQ(dialog->Port->text(), "3128");
}

TEST_F(SettingsDialog, titleBarCloseActsAsCancel) {
  WriteFile(kTwoServersAndProxy);
  const int result = RunModal([&] {
    Add(QStringLiteral("Brannock"));
    dialog->close();
  });
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(ReadFile(), kTwoServersAndProxy);
  EXPECT_EQ(clans.clansX3, (Names{kVoiny, "Brannock", "Brannock"}));
}

// --- Proxy -------------------------------------------------------------------

TEST_F(SettingsDialog, proxyCheckBoxEnablesTheProxyFieldsButNotTheColon) {
  Open();
  Click(dialog->CheckBox1);
  ASSERT_TRUE(dialog->CheckBox1->isChecked());
  EXPECT_TRUE(dialog->Label1->isEnabled());
  EXPECT_TRUE(dialog->Label2->isEnabled());
  EXPECT_TRUE(dialog->Proxy->isEnabled());
  EXPECT_TRUE(dialog->Port->isEnabled());
  EXPECT_TRUE(dialog->Label3->isEnabled());
  Click(dialog->CheckBox1);
  ASSERT_FALSE(dialog->CheckBox1->isChecked());
  EXPECT_FALSE(dialog->Label1->isEnabled());
  EXPECT_FALSE(dialog->Label2->isEnabled());
  EXPECT_FALSE(dialog->Proxy->isEnabled());
  EXPECT_FALSE(dialog->Port->isEnabled());
  EXPECT_TRUE(dialog->Label3->isEnabled());
}

TEST_F(SettingsDialog, proxyFieldsAreSavedAsTypedWithThePortInDecimal) {
  WriteFile(kTwoServersAndProxy);
  Open();
  dialog->Proxy->clear();
  Type(dialog->Proxy, QStringLiteral(u" прокси.local "));
  SetPort(QStringLiteral("0x1F90"));
  Click(dialog->CheckBox1);  // switched off, the fields are still saved
  Click(dialog->Button4);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(ReadFile(), "[Proxy]\r\nuse=0\r\nserver=" + Cp(u" прокси.local ") +
                            "\r\nport=8080\r\n"
                            "[x3]\r\nClanName1=" +
                            kVoiny +
                            "\r\nClanName2=Brannock\r\n"
                            "[x300]\r\nClanName1=" +
                            kStrazhi + "\r\n");
}

TEST_F(SettingsDialog, emptyPortIsSavedAs80AndShows80Afterwards) {
  WriteFile(kTwoServersAndProxy);
  Open();
  dialog->Port->clear();
  Click(dialog->Button4);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(dialog->Port->text(), "80");
  EXPECT_EQ(ReadFile(),
            "[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=80\r\n"
            "[x3]\r\nClanName1=" +
                kVoiny +
                "\r\nClanName2=Brannock\r\n"
                "[x300]\r\nClanName1=" +
                kStrazhi + "\r\n");
  Open();
  EXPECT_EQ(dialog->Port->text(), "80");
}

// --- Failed saves ------------------------------------------------------------

TEST_F(SettingsDialog, badPortKeepsTheDialogOpenAfterWritingEverythingElse) {
  WriteFile("[x3]\r\nClanName1=A\r\n[Proxy]\r\nuse=0\r\nserver=old\r\nport=3128\r\n");
  bool stillOpen = false;
  const int result = RunModal([&] {
    Add(QStringLiteral("B"));
    Click(dialog->CheckBox1);
    dialog->Proxy->clear();
    Type(dialog->Proxy, QStringLiteral("127.0.0.1"));
    SetPort(QStringLiteral("8o"));
    Click(dialog->Button4);
    stillOpen = dialog->isVisible();
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(boxes, QStringList{"'8o' is not a valid integer value."});
  EXPECT_EQ(dialog->Port->text(), "8o");
  EXPECT_EQ(clans.clansX3, (Names{"A", "B"}));
  EXPECT_EQ(ReadFile(),
            "[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=3128\r\n"
            "[x3]\r\nClanName1=A\r\nClanName2=B\r\n");
}

TEST_F(SettingsDialog, nextOkAfterABadPortSaves) {
  Open();
  Click(dialog->CheckBox1);
  SetPort(QStringLiteral("8o"));
  Click(dialog->Button4);
  ASSERT_TRUE(dialog->isVisible());
  SetPort(QStringLiteral("3128"));
  Click(dialog->Button4);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(boxes.size(), 1);
  EXPECT_EQ(ReadFile(), "[Proxy]\r\nuse=1\r\nserver=\r\nport=3128\r\n");
}

TEST_F(SettingsDialog, failedWriteShowsTheFileAndKeepsTheDialogOpen) {
  ASSERT_TRUE(std::filesystem::create_directory(file));
  clans.clansX3 = {"stale"};
  bool stillOpen = false;
  const int result = RunModal([&] {
    Add(QStringLiteral("Brannock"));
    Click(dialog->Button4);
    stillOpen = dialog->isVisible();
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(boxes,
            QStringList{"Unable to write to " + QString::fromStdString(file.string()) + "."});
  EXPECT_EQ(clans.clansX3, Names{"Brannock"});
  EXPECT_TRUE(std::filesystem::is_directory(file));
}

}  // namespace
}  // namespace quellar
