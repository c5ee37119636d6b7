#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
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
#include "settings/clan_lists.h"
#include "settings/settings_file.h"
#include "support/child.h"
#include "support/printers.h"
#include "ui/error_box.h"
#include "ui/settings_dialog.h"

namespace quellar {
namespace {

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

class SettingsDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(directory_.isValid());
    previousPresenter_ = SetErrorBoxPresenter([this](const QString& text) { boxes << text; });
    dialog = std::make_unique<SettingsDialog>(file, clans);
    QObject::connect(dialog.get(), &SettingsDialog::settingsSaved, [this] { ++saved; });
    clanEdit = test::Child<QLineEdit>(*dialog, "clanEdit");
    serverCombo = test::Child<QComboBox>(*dialog, "serverCombo");
    clanList = test::Child<QListWidget>(*dialog, "clanList");
    addButton = test::Child<QPushButton>(*dialog, "addButton");
    deleteButton = test::Child<QPushButton>(*dialog, "deleteButton");
    useProxyCheck = test::Child<QCheckBox>(*dialog, "useProxyCheck");
    proxyHostLabel = test::Child<QLabel>(*dialog, "proxyHostLabel");
    proxyHostEdit = test::Child<QLineEdit>(*dialog, "proxyHostEdit");
    colonLabel = test::Child<QLabel>(*dialog, "colonLabel");
    proxyPortLabel = test::Child<QLabel>(*dialog, "proxyPortLabel");
    proxyPortEdit = test::Child<QLineEdit>(*dialog, "proxyPortEdit");
    okButton = test::Child<QPushButton>(*dialog, "okButton");
    cancelButton = test::Child<QPushButton>(*dialog, "cancelButton");
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
    while (serverCombo->currentIndex() < index)
      QTest::keyClick(serverCombo, Qt::Key_Down);
    while (serverCombo->currentIndex() > index)
      QTest::keyClick(serverCombo, Qt::Key_Up);
  }

  void SelectName(int row) {
    QListWidget* list = clanList;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
  }

  void Add(const QString& name) {
    Type(clanEdit, name);
    Click(addButton);
  }

  void SetPort(const QString& text) {
    proxyPortEdit->clear();
    Type(proxyPortEdit, text);
  }

  QTemporaryDir directory_;
  const std::filesystem::path file =
      SettingsFilePath(std::filesystem::path(directory_.path().toStdString()));
  ClanLists clans;
  std::unique_ptr<SettingsDialog> dialog;
  QLineEdit* clanEdit = nullptr;
  QComboBox* serverCombo = nullptr;
  QListWidget* clanList = nullptr;
  QPushButton* addButton = nullptr;
  QPushButton* deleteButton = nullptr;
  QCheckBox* useProxyCheck = nullptr;
  QLabel* proxyHostLabel = nullptr;
  QLineEdit* proxyHostEdit = nullptr;
  QLabel* colonLabel = nullptr;
  QLabel* proxyPortLabel = nullptr;
  QLineEdit* proxyPortEdit = nullptr;
  QPushButton* okButton = nullptr;
  QPushButton* cancelButton = nullptr;
  QStringList boxes;
  int saved = 0;
  bool openedModally = false;

 private:
  ErrorBoxPresenter previousPresenter_;
};

// --- Look --------------------------------------------------------------------

TEST_F(SettingsDialogTest, addAndDeleteCarrySmallImagesFromTheFirstOpening) {
  // Looked up in the icon theme when first needed, not while the program starts.
  EXPECT_TRUE(addButton->icon().isNull());
  EXPECT_TRUE(deleteButton->icon().isNull());
  Open();
  EXPECT_FALSE(addButton->icon().isNull());
  EXPECT_FALSE(deleteButton->icon().isNull());
  EXPECT_TRUE(okButton->icon().isNull());
  EXPECT_TRUE(cancelButton->icon().isNull());
}

TEST_F(SettingsDialogTest, opensWithoutAFileInItsInitialState) {
  Open();
  EXPECT_EQ(clanEdit->text(), "");
  EXPECT_FALSE(serverCombo->isEditable());
  ASSERT_EQ(serverCombo->count(), 2);
  EXPECT_EQ(serverCombo->itemText(0), "x3");
  EXPECT_EQ(serverCombo->itemText(1), "x300");
  EXPECT_EQ(serverCombo->currentIndex(), 0);
  EXPECT_EQ(clanList->count(), 0);
  EXPECT_FALSE(useProxyCheck->isChecked());
  EXPECT_EQ(proxyHostEdit->text(), "");
  EXPECT_EQ(proxyPortEdit->text(), "80");
  EXPECT_FALSE(proxyHostLabel->isEnabled());
  EXPECT_FALSE(proxyPortLabel->isEnabled());
  EXPECT_FALSE(proxyHostEdit->isEnabled());
  EXPECT_FALSE(proxyPortEdit->isEnabled());
  EXPECT_TRUE(colonLabel->isEnabled());
  EXPECT_TRUE(boxes.isEmpty());
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(SettingsDialogTest, opensWithTheListsAndProxyOfTheFile) {
  WriteFile("[x300]\r\nClanName1=" + kStrazhi + "\r\n[x3]\r\nfirst=" + kVoiny +
            "\r\nClanName9=Brannock\r\n[Proxy]\r\nuse=1\r\nserver=proxy.local\r\nport=0x50\r\n");
  clans.clansX3 = {"stale"};
  Open();
  EXPECT_EQ(clans.clansX3, (Names{kVoiny, "Brannock"}));
  EXPECT_EQ(clans.clansX300, Names{kStrazhi});
  EXPECT_EQ(Items(*clanList), (QStringList{QStringLiteral(u"Воины"), "Brannock"}));
  EXPECT_EQ(clanList->selectedItems().size(), 0);
  EXPECT_TRUE(useProxyCheck->isChecked());
  EXPECT_EQ(proxyHostEdit->text(), "proxy.local");
  EXPECT_EQ(proxyPortEdit->text(), "0x50");  // the port is read as text
  EXPECT_TRUE(proxyHostLabel->isEnabled());
  EXPECT_TRUE(proxyPortLabel->isEnabled());
  EXPECT_TRUE(proxyHostEdit->isEnabled());
  EXPECT_TRUE(proxyPortEdit->isEnabled());
  EXPECT_TRUE(colonLabel->isEnabled());
}

// --- Keyboard ----------------------------------------------------------------

TEST_F(SettingsDialogTest, tabOrderRunsFromOkThroughProxyToClans) {
  QStringList order;
  QWidget* widget = okButton;
  do {
    if ((widget->focusPolicy() & Qt::TabFocus) && widget->window() == dialog.get())
      order << widget->objectName();
    widget = widget->nextInFocusChain();
  } while (widget != okButton);
  EXPECT_EQ(order, (QStringList{"okButton", "cancelButton", "useProxyCheck", "proxyHostEdit",
                                "proxyPortEdit", "clanEdit", "clanList", "serverCombo", "addButton",
                                "deleteButton"}));
}

TEST_F(SettingsDialogTest, firstOpeningFocusesOkSoEnterPressesIt) {
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
  EXPECT_EQ(focused, okButton);
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(ReadFile(), "[Proxy]\r\nuse=0\r\nserver=\r\nport=80\r\n");
}

TEST_F(SettingsDialogTest, spaceOnTheFocusedOkPressesIt) {
  const int result = RunModal([&] { QTest::keyClick(okButton, Qt::Key_Space); });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(saved, 1);
}

TEST_F(SettingsDialogTest, neitherEnterNorEscapeTriggersAButtonFromElsewhere) {
  WriteFile(kTwoServersAndProxy);
  bool stillOpen = false;
  const int result = RunModal([&] {
    for (QWidget* field : {static_cast<QWidget*>(clanEdit), static_cast<QWidget*>(proxyHostEdit),
                           static_cast<QWidget*>(proxyPortEdit), static_cast<QWidget*>(clanList),
                           static_cast<QWidget*>(useProxyCheck)}) {
      field->setFocus();
      QTest::keyClick(field, Qt::Key_Return);
      QTest::keyClick(field, Qt::Key_Enter, Qt::KeypadModifier);
      QTest::keyClick(field, Qt::Key_Escape);
    }
    okButton->setFocus();
    QTest::keyClick(okButton, Qt::Key_Escape);
    cancelButton->setFocus();
    QTest::keyClick(cancelButton, Qt::Key_Escape);
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

TEST_F(SettingsDialogTest, addWithAnEmptyEditAddsNothing) {
  WriteFile(kTwoServersAndProxy);
  Open();
  Click(addButton);
  EXPECT_EQ(clans.clansX3, (Names{kVoiny, "Brannock"}));
  EXPECT_EQ(clans.clansX300, Names{kStrazhi});
  EXPECT_EQ(Items(*clanList), (QStringList{QStringLiteral(u"Воины"), "Brannock"}));
}

TEST_F(SettingsDialogTest, nameGoesToTheListOfTheDialogsOwnServer) {
  WriteFile(kTwoServersAndProxy);
  Open();
  PickServer(1);
  EXPECT_EQ(Items(*clanList), QStringList{QStringLiteral(u"Стражи")});
  Add(QStringLiteral(u"Ёжики"));
  EXPECT_EQ(clanEdit->text(), "");
  EXPECT_EQ(clans.clansX3, (Names{kVoiny, "Brannock"}));
  EXPECT_EQ(clans.clansX300, (Names{kStrazhi, Cp(u"Ёжики")}));
  EXPECT_EQ(Items(*clanList), (QStringList{QStringLiteral(u"Стражи"), QStringLiteral(u"Ёжики")}));
  EXPECT_EQ(clanList->selectedItems().size(), 0);

  Click(okButton);
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

TEST_F(SettingsDialogTest, nameIsAddedAsTyped) {
  Open();
  Add(QStringLiteral(u"  'Dark Elves' "));
  EXPECT_EQ(clans.clansX3, Names{"  'Dark Elves' "});
  Click(okButton);
  EXPECT_EQ(ReadFile(),
            "[x3]\r\nClanName1=  'Dark Elves' \r\n"
            "[Proxy]\r\nuse=0\r\nserver=\r\nport=80\r\n");
}

TEST_F(SettingsDialogTest, sameNameAddedTwiceIsSavedAsConsecutiveKeys) {
  Open();
  Add(QStringLiteral(u"Воины"));
  Add(QStringLiteral(u"Воины"));
  EXPECT_EQ(clans.clansX3, (Names{kVoiny, kVoiny}));
  EXPECT_EQ(Items(*clanList), (QStringList{QStringLiteral(u"Воины"), QStringLiteral(u"Воины")}));
  Click(okButton);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(ReadFile(), "[x3]\r\nClanName1=" + kVoiny + "\r\nClanName2=" + kVoiny +
                            "\r\n[Proxy]\r\nuse=0\r\nserver=\r\nport=80\r\n");
}

TEST_F(SettingsDialogTest, deleteRemovesTheSelectedEntryOfTheChosenServer) {
  WriteFile(
      "[x3]\r\nClanName1=A\r\nClanName2=B\r\nClanName3=A\r\n"
      "[x300]\r\nClanName1=A\r\n");
  Open();
  SelectName(2);
  ASSERT_EQ(clanList->selectedItems().size(), 1);
  Click(deleteButton);
  EXPECT_EQ(clans.clansX3, (Names{"A", "B"}));
  EXPECT_EQ(clans.clansX300, Names{"A"});
  EXPECT_EQ(Items(*clanList), (QStringList{"A", "B"}));
  EXPECT_EQ(clanList->selectedItems().size(), 0);
}

TEST_F(SettingsDialogTest, deleteWithNothingSelectedDoesNothing) {
  WriteFile(kTwoServersAndProxy);
  Open();
  Click(deleteButton);
  EXPECT_EQ(clans.clansX3, (Names{kVoiny, "Brannock"}));
  EXPECT_EQ(Items(*clanList), (QStringList{QStringLiteral(u"Воины"), "Brannock"}));
}

TEST_F(SettingsDialogTest, deletingTheLastNameLeavesNoSectionForThatServer) {
  WriteFile(kTwoServersAndProxy);
  Open();
  PickServer(1);
  SelectName(0);
  Click(deleteButton);
  EXPECT_TRUE(clans.clansX300.empty());
  EXPECT_EQ(clanList->count(), 0);
  Click(okButton);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(ReadFile(),
            "[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=3128\r\n"
            "[x3]\r\nClanName1=" +
                kVoiny + "\r\nClanName2=Brannock\r\n");
}

TEST_F(SettingsDialogTest, serverChoiceIsKeptBetweenOpenings) {
  WriteFile(kTwoServersAndProxy);
  Open();
  PickServer(1);
  Click(cancelButton);
  Open();
  EXPECT_EQ(serverCombo->currentIndex(), 1);
  EXPECT_EQ(Items(*clanList), QStringList{QStringLiteral(u"Стражи")});
}

TEST_F(SettingsDialogTest, cancelWritesNothingAndTheAddedNamesStayInMemoryUntilTheNextOpening) {
  WriteFile(kTwoServersAndProxy);
  const int result = RunModal([&] {
    Add(QStringLiteral("Brannock"));
    SelectName(0);
    Click(deleteButton);
    SetPort(QStringLiteral("8080"));
    Click(useProxyCheck);
    Click(cancelButton);
  });
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(ReadFile(), kTwoServersAndProxy);
  // The shared lists still hold the dialog's edits: the main window sees them.
  EXPECT_EQ(clans.clansX3, (Names{"Brannock", "Brannock"}));

  Open();
  EXPECT_EQ(clans.clansX3, (Names{kVoiny, "Brannock"}));
  EXPECT_EQ(Items(*clanList), (QStringList{QStringLiteral(u"Воины"), "Brannock"}));
  EXPECT_TRUE(useProxyCheck->isChecked());
  EXPECT_EQ(proxyPortEdit->text(), "3128");
}

TEST_F(SettingsDialogTest, titleBarCloseActsAsCancel) {
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

TEST_F(SettingsDialogTest, proxyCheckBoxEnablesTheProxyFieldsButNotTheColon) {
  Open();
  Click(useProxyCheck);
  ASSERT_TRUE(useProxyCheck->isChecked());
  EXPECT_TRUE(proxyHostLabel->isEnabled());
  EXPECT_TRUE(proxyPortLabel->isEnabled());
  EXPECT_TRUE(proxyHostEdit->isEnabled());
  EXPECT_TRUE(proxyPortEdit->isEnabled());
  EXPECT_TRUE(colonLabel->isEnabled());
  Click(useProxyCheck);
  ASSERT_FALSE(useProxyCheck->isChecked());
  EXPECT_FALSE(proxyHostLabel->isEnabled());
  EXPECT_FALSE(proxyPortLabel->isEnabled());
  EXPECT_FALSE(proxyHostEdit->isEnabled());
  EXPECT_FALSE(proxyPortEdit->isEnabled());
  EXPECT_TRUE(colonLabel->isEnabled());
}

TEST_F(SettingsDialogTest, proxyFieldsAreSavedAsTypedWithThePortInDecimal) {
  WriteFile(kTwoServersAndProxy);
  Open();
  proxyHostEdit->clear();
  Type(proxyHostEdit, QStringLiteral(u" прокси.local "));
  SetPort(QStringLiteral("0x1F90"));
  Click(useProxyCheck);  // switched off, the fields are still saved
  Click(okButton);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(ReadFile(), "[Proxy]\r\nuse=0\r\nserver=" + Cp(u" прокси.local ") +
                            "\r\nport=8080\r\n"
                            "[x3]\r\nClanName1=" +
                            kVoiny +
                            "\r\nClanName2=Brannock\r\n"
                            "[x300]\r\nClanName1=" +
                            kStrazhi + "\r\n");
}

TEST_F(SettingsDialogTest, emptyPortIsSavedAs80AndShows80Afterwards) {
  WriteFile(kTwoServersAndProxy);
  Open();
  proxyPortEdit->clear();
  Click(okButton);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(proxyPortEdit->text(), "80");
  EXPECT_EQ(ReadFile(),
            "[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=80\r\n"
            "[x3]\r\nClanName1=" +
                kVoiny +
                "\r\nClanName2=Brannock\r\n"
                "[x300]\r\nClanName1=" +
                kStrazhi + "\r\n");
  Open();
  EXPECT_EQ(proxyPortEdit->text(), "80");
}

// --- Failed saves ------------------------------------------------------------

TEST_F(SettingsDialogTest, badPortKeepsTheDialogOpenAfterWritingEverythingElse) {
  WriteFile("[x3]\r\nClanName1=A\r\n[Proxy]\r\nuse=0\r\nserver=old\r\nport=3128\r\n");
  bool stillOpen = false;
  const int result = RunModal([&] {
    Add(QStringLiteral("B"));
    Click(useProxyCheck);
    proxyHostEdit->clear();
    Type(proxyHostEdit, QStringLiteral("127.0.0.1"));
    SetPort(QStringLiteral("8o"));
    Click(okButton);
    stillOpen = dialog->isVisible();
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(boxes, QStringList{"'8o' is not a valid integer value."});
  EXPECT_EQ(proxyPortEdit->text(), "8o");
  EXPECT_EQ(clans.clansX3, (Names{"A", "B"}));
  EXPECT_EQ(ReadFile(),
            "[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=3128\r\n"
            "[x3]\r\nClanName1=A\r\nClanName2=B\r\n");
}

TEST_F(SettingsDialogTest, nextOkAfterABadPortSaves) {
  Open();
  Click(useProxyCheck);
  SetPort(QStringLiteral("8o"));
  Click(okButton);
  ASSERT_TRUE(dialog->isVisible());
  SetPort(QStringLiteral("3128"));
  Click(okButton);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(boxes.size(), 1);
  EXPECT_EQ(ReadFile(), "[Proxy]\r\nuse=1\r\nserver=\r\nport=3128\r\n");
}

TEST_F(SettingsDialogTest, failedWriteShowsTheFileAndKeepsTheDialogOpen) {
  ASSERT_TRUE(std::filesystem::create_directory(file));
  clans.clansX3 = {"stale"};
  bool stillOpen = false;
  const int result = RunModal([&] {
    Add(QStringLiteral("Brannock"));
    Click(okButton);
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
