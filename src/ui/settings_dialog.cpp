#include "ui/settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <utility>

#include "common/cp1251.h"
#include "common/servers.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"
#include "ui/classic_look.h"
#include "ui/dialog_keys.h"
#include "ui/guard.h"

namespace quellar {
namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QRect& place) {
  auto* button = Named(new QPushButton(caption, parent), name);
  button->setGeometry(place);
  // Neither Enter nor Escape is bound to a button of this dialog.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QRect& place) {
  auto* edit = Named(new QLineEdit(parent), name);
  edit->setGeometry(place);
  return edit;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, const QPoint& at) {
  auto* label = Named(new QLabel(caption, parent), name);
  label->move(at);
  label->adjustSize();
  return label;
}

}  // namespace

Tparam::Tparam(std::filesystem::path settingsFile, ClanLists& clans, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      settingsFile_(std::move(settingsFile)),
      clans_(clans) {
  setObjectName(QStringLiteral("param"));
  setWindowTitle(QStringLiteral(u"Настройки"));
  setFont(ClassicWindowFont());
  setFixedSize(297, 343);
  move(313, 224);

  CreateControls();

  setTabOrder(Button4, Cancel);
  setTabOrder(Cancel, CheckBox1);
  setTabOrder(CheckBox1, Proxy);
  setTabOrder(Proxy, Port);
  setTabOrder(Port, Edit1);
  setTabOrder(Edit1, ListBox1);
  setTabOrder(ListBox1, ComboBox1);
  setTabOrder(ComboBox1, Button1);
  setTabOrder(Button1, Button2);
  // At the first opening the keyboard focus is on "ОК"; later openings keep the
  // focus where the user left it.
  Button4->setFocus();

  connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
  connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
  connect(Cancel, &QPushButton::clicked, this, [this] { CancelClick(); });
}

void Tparam::CreateControls() {
  // Members are created in the order the dialog declares them.
  GroupBox1 = Named(NewClassicGroupBox(QStringLiteral(u"Прокси"), this), "GroupBox1");
  GroupBox1->setGeometry(8, 216, 281, 89);
  GroupBox2 = Named(NewClassicGroupBox(QStringLiteral(u"Кланы"), this), "GroupBox2");
  GroupBox2->setGeometry(8, 8, 281, 201);

  ListBox1 = Named(new QListWidget(GroupBox2), "ListBox1");
  ListBox1->setGeometry(8, 48, 177, 145);
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  Edit1 = MakeEdit(GroupBox2, "Edit1", QRect(8, 16, 113, 21));

  Cancel = MakeButton(this, "Cancel", QStringLiteral(u"Отмена"), QRect(216, 312, 73, 25));
  Button4 = MakeButton(this, "Button4", QStringLiteral(u"ОК"), QRect(136, 312, 73, 25));

  CheckBox1 = Named(new QCheckBox(QStringLiteral(u"Использовать прокси"), GroupBox1), "CheckBox1");
  CheckBox1->setGeometry(8, 16, 145, 17);
  Label1 = MakeLabel(GroupBox1, "Label1", QStringLiteral(u"Сервер"), QPoint(8, 40));
  Proxy = MakeEdit(GroupBox1, "Proxy", QRect(8, 56, 169, 21));
  Port = MakeEdit(GroupBox1, "Port", QRect(192, 56, 81, 21));
  Port->setText(QStringLiteral("80"));
  Label2 = MakeLabel(GroupBox1, "Label2", QStringLiteral(u"Порт"), QPoint(192, 40));
  Label3 = MakeLabel(GroupBox1, "Label3", QStringLiteral(":"), QPoint(184, 56));

  ComboBox1 = Named(new QComboBox(GroupBox2), "ComboBox1");
  ComboBox1->setGeometry(128, 16, 57, 21);
  for (std::string_view server : kServerNames)
    ComboBox1->addItem(FromCp1251(server));
  ComboBox1->setCurrentIndex(0);

  Button1 = MakeButton(GroupBox2, "Button1", QStringLiteral(u"Добавить"), QRect(192, 16, 81, 21));
  Button2 = MakeButton(GroupBox2, "Button2", QStringLiteral(u"Удалить  "), QRect(192, 48, 81, 21));
  for (QPushButton* button : {Button1, Button2})
    button->setIconSize(QSize(12, 12));

  DescribeControls();
  CheckBox1Click();
}

// Names and descriptions for screen readers, where a control's caption stands in a
// separate label or it has none.
void Tparam::DescribeControls() {
  Label1->setBuddy(Proxy);
  Label2->setBuddy(Port);
  Edit1->setAccessibleName(QStringLiteral(u"Название клана"));
  Edit1->setAccessibleDescription(
      QStringLiteral(u"Клан, который «Добавить» внесёт в список сервера"));
  ComboBox1->setAccessibleName(QStringLiteral(u"Сервер"));
  ComboBox1->setAccessibleDescription(QStringLiteral(u"Сервер, список кланов которого показан"));
  ListBox1->setAccessibleName(QStringLiteral(u"Кланы сервера"));
  Button2->setAccessibleName(QStringLiteral(u"Удалить"));
  Button2->setAccessibleDescription(QStringLiteral(u"Удалить выбранный клан из списка"));
  Proxy->setAccessibleName(QStringLiteral(u"Сервер прокси"));
  Port->setAccessibleName(QStringLiteral(u"Порт прокси"));
  Button4->setAccessibleDescription(QStringLiteral(u"Сохранить настройки и закрыть"));
  Cancel->setAccessibleDescription(QStringLiteral(u"Закрыть, ничего не сохраняя"));
}

std::vector<std::string>& Tparam::SelectedServerClans() {
  return clans_.ForServer(ComboBox1->currentIndex());
}

void Tparam::FillClanListBox() {
  ListBox1->clear();
  for (const std::string& name : SelectedServerClans())
    ListBox1->addItem(FromCp1251(name));
  ListBox1->setCurrentRow(-1);
  ListBox1->clearSelection();
}

// The images come from the desktop's icon theme, whose lookup is slow enough to
// hold up the main window when the hidden dialog is made at start-up; they are
// looked up the first time the dialog opens instead.
void Tparam::LoadButtonImages() {
  Button1->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
  Button2->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
  buttonImagesLoaded_ = true;
}

void Tparam::showEvent(QShowEvent* event) {
  if (!buttonImagesLoaded_)
    LoadButtonImages();
  QDialog::showEvent(event);
  // Each opening reloads; a window system's own re-show (after a minimise) does not.
  if (!event->spontaneous())
    FormShow();
}

void Tparam::keyPressEvent(QKeyEvent* event) {
  if (!HandleDialogKey(*this, *event))
    QDialog::keyPressEvent(event);
}

void Tparam::FormShow() {
  Guarded([this] {
    Edit1->clear();
    ListBox1->clear();
    CheckBox1->setChecked(false);
    Proxy->clear();
    Port->setText(QStringLiteral("80"));

    const DialogSettings fields = LoadDialogSettings(settingsFile_, clans_);
    CheckBox1->setChecked(fields.useProxy);
    Proxy->setText(FromCp1251(fields.proxyHost));
    Port->setText(FromCp1251(fields.proxyPort));

    CheckBox1Click();
    FillClanListBox();
  });
}

void Tparam::ComboBox1Change() {
  Guarded([this] { FillClanListBox(); });
}

void Tparam::Button1Click() {
  Guarded([this] {
    if (!Edit1->text().isEmpty()) {
      SelectedServerClans().push_back(ToCp1251(Edit1->text()));
      Edit1->clear();
    }
    FillClanListBox();
  });
}

void Tparam::Button2Click() {
  Guarded([this] {
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    if (selected.isEmpty())
      return;
    const int row = ListBox1->row(selected.front());
    std::vector<std::string>& clans = SelectedServerClans();
    // The list box is a copy of this list, so the row names the same entry.
    if (row >= 0 && static_cast<std::size_t>(row) < clans.size())
      clans.erase(clans.begin() + row);
    FillClanListBox();
  });
}

void Tparam::CheckBox1Click() {
  Guarded([this] {
    const bool on = CheckBox1->isChecked();
    for (QWidget* proxyField : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2),
                                static_cast<QWidget*>(Proxy), static_cast<QWidget*>(Port)})
      proxyField->setEnabled(on);
  });
}

void Tparam::Button4Click() {
  Guarded([this] {
    DialogSettings fields;
    fields.useProxy = CheckBox1->isChecked();
    fields.proxyHost = ToCp1251(Proxy->text());
    fields.proxyPort = ToCp1251(Port->text());
    // The save sets an empty port to "80"; the edit shows it whether or not a
    // later step fails.
    try {
      CreateSettingsFolder(settingsFile_);  // the user's folder, at the first save
      SaveSettings(settingsFile_, clans_, fields);
    } catch (...) {
      Port->setText(FromCp1251(fields.proxyPort));
      throw;
    }
    Port->setText(FromCp1251(fields.proxyPort));
    accept();
    emit settingsSaved();
  });
}

void Tparam::CancelClick() {
  Guarded([this] { reject(); });
}

}  // namespace quellar
