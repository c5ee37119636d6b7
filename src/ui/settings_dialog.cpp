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
#include "common/server.h"
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

SettingsDialog::SettingsDialog(std::filesystem::path settingsFile, ClanLists& clans,
                               QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      settingsFile_(std::move(settingsFile)),
      clans_(clans) {
  setObjectName(QStringLiteral("settingsDialog"));
  setWindowTitle(QStringLiteral(u"Настройки"));
  setFont(ClassicWindowFont());
  setFixedSize(297, 343);
  move(313, 224);

  createControls();

  setTabOrder(okButton_, cancelButton_);
  setTabOrder(cancelButton_, useProxyCheck_);
  setTabOrder(useProxyCheck_, proxyHostEdit_);
  setTabOrder(proxyHostEdit_, proxyPortEdit_);
  setTabOrder(proxyPortEdit_, clanEdit_);
  setTabOrder(clanEdit_, clanList_);
  setTabOrder(clanList_, serverCombo_);
  setTabOrder(serverCombo_, addButton_);
  setTabOrder(addButton_, deleteButton_);
  // At the first opening the keyboard focus is on "ОК"; later openings keep the
  // focus where the user left it.
  okButton_->setFocus();

  connect(serverCombo_, &QComboBox::currentIndexChanged, this, &SettingsDialog::showServerClans);
  connect(addButton_, &QPushButton::clicked, this, &SettingsDialog::addClan);
  connect(deleteButton_, &QPushButton::clicked, this, &SettingsDialog::deleteClan);
  connect(useProxyCheck_, &QCheckBox::toggled, this, &SettingsDialog::enableProxyFields);
  connect(okButton_, &QPushButton::clicked, this, &SettingsDialog::save);
  connect(cancelButton_, &QPushButton::clicked, this, [this] { Guarded([this] { reject(); }); });
}

void SettingsDialog::createControls() {
  // The controls are made in this order, which decides how siblings stack and
  // the focus chain the tab order then rearranges.
  proxyBox_ = Named(NewClassicGroupBox(QStringLiteral(u"Прокси"), this), "proxyBox");
  proxyBox_->setGeometry(8, 216, 281, 89);
  clansBox_ = Named(NewClassicGroupBox(QStringLiteral(u"Кланы"), this), "clansBox");
  clansBox_->setGeometry(8, 8, 281, 201);

  clanList_ = Named(new QListWidget(clansBox_), "clanList");
  clanList_->setGeometry(8, 48, 177, 145);
  clanList_->setSelectionMode(QAbstractItemView::SingleSelection);
  clanEdit_ = MakeEdit(clansBox_, "clanEdit", QRect(8, 16, 113, 21));

  cancelButton_ =
      MakeButton(this, "cancelButton", QStringLiteral(u"Отмена"), QRect(216, 312, 73, 25));
  okButton_ = MakeButton(this, "okButton", QStringLiteral(u"ОК"), QRect(136, 312, 73, 25));

  useProxyCheck_ =
      Named(new QCheckBox(QStringLiteral(u"Использовать прокси"), proxyBox_), "useProxyCheck");
  useProxyCheck_->setGeometry(8, 16, 145, 17);
  proxyHostLabel_ =
      MakeLabel(proxyBox_, "proxyHostLabel", QStringLiteral(u"Сервер"), QPoint(8, 40));
  proxyHostEdit_ = MakeEdit(proxyBox_, "proxyHostEdit", QRect(8, 56, 169, 21));
  proxyPortEdit_ = MakeEdit(proxyBox_, "proxyPortEdit", QRect(192, 56, 81, 21));
  proxyPortEdit_->setText(QStringLiteral("80"));
  proxyPortLabel_ =
      MakeLabel(proxyBox_, "proxyPortLabel", QStringLiteral(u"Порт"), QPoint(192, 40));
  colonLabel_ = MakeLabel(proxyBox_, "colonLabel", QStringLiteral(":"), QPoint(184, 56));

  serverCombo_ = Named(new QComboBox(clansBox_), "serverCombo");
  serverCombo_->setGeometry(128, 16, 57, 21);
  for (Server server : kServers)
    serverCombo_->addItem(FromCp1251(ServerName(server)));
  serverCombo_->setCurrentIndex(0);

  addButton_ =
      MakeButton(clansBox_, "addButton", QStringLiteral(u"Добавить"), QRect(192, 16, 81, 21));
  deleteButton_ =
      MakeButton(clansBox_, "deleteButton", QStringLiteral(u"Удалить  "), QRect(192, 48, 81, 21));
  for (QPushButton* button : {addButton_, deleteButton_})
    button->setIconSize(QSize(12, 12));

  describeControls();
  enableProxyFields();
}

// Names and descriptions for screen readers, where a control's caption stands in a
// separate label or it has none.
void SettingsDialog::describeControls() {
  proxyHostLabel_->setBuddy(proxyHostEdit_);
  proxyPortLabel_->setBuddy(proxyPortEdit_);
  clanEdit_->setAccessibleName(QStringLiteral(u"Название клана"));
  clanEdit_->setAccessibleDescription(
      QStringLiteral(u"Клан, который «Добавить» внесёт в список сервера"));
  serverCombo_->setAccessibleName(QStringLiteral(u"Сервер"));
  serverCombo_->setAccessibleDescription(QStringLiteral(u"Сервер, список кланов которого показан"));
  clanList_->setAccessibleName(QStringLiteral(u"Кланы сервера"));
  deleteButton_->setAccessibleName(QStringLiteral(u"Удалить"));
  deleteButton_->setAccessibleDescription(QStringLiteral(u"Удалить выбранный клан из списка"));
  proxyHostEdit_->setAccessibleName(QStringLiteral(u"Сервер прокси"));
  proxyPortEdit_->setAccessibleName(QStringLiteral(u"Порт прокси"));
  okButton_->setAccessibleDescription(QStringLiteral(u"Сохранить настройки и закрыть"));
  cancelButton_->setAccessibleDescription(QStringLiteral(u"Закрыть, ничего не сохраняя"));
}

std::vector<std::string>& SettingsDialog::selectedServerClans() {
  return clans_.ForServer(serverCombo_->currentIndex());
}

void SettingsDialog::fillClanList() {
  clanList_->clear();
  for (const std::string& name : selectedServerClans())
    clanList_->addItem(FromCp1251(name));
  clanList_->setCurrentRow(-1);
  clanList_->clearSelection();
}

// The images come from the desktop's icon theme, whose lookup is slow enough to
// hold up the main window when the hidden dialog is made at start-up; they are
// looked up the first time the dialog opens instead.
void SettingsDialog::loadButtonImages() {
  addButton_->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
  deleteButton_->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
  buttonImagesLoaded_ = true;
}

void SettingsDialog::showEvent(QShowEvent* event) {
  if (!buttonImagesLoaded_)
    loadButtonImages();
  QDialog::showEvent(event);
  // Each opening reloads; a window system's own re-show (after a minimise) does not.
  if (!event->spontaneous())
    reload();
}

void SettingsDialog::keyPressEvent(QKeyEvent* event) {
  if (!HandleDialogKey(*this, *event))
    QDialog::keyPressEvent(event);
}

void SettingsDialog::reload() {
  Guarded([this] {
    clanEdit_->clear();
    clanList_->clear();
    useProxyCheck_->setChecked(false);
    proxyHostEdit_->clear();
    proxyPortEdit_->setText(QStringLiteral("80"));

    const DialogSettings fields = LoadDialogSettings(settingsFile_, clans_);
    useProxyCheck_->setChecked(fields.useProxy);
    proxyHostEdit_->setText(FromCp1251(fields.proxyHost));
    proxyPortEdit_->setText(FromCp1251(fields.proxyPort));

    enableProxyFields();
    fillClanList();
  });
}

void SettingsDialog::showServerClans() {
  Guarded([this] { fillClanList(); });
}

void SettingsDialog::addClan() {
  Guarded([this] {
    if (!clanEdit_->text().isEmpty()) {
      selectedServerClans().push_back(ToCp1251(clanEdit_->text()));
      clanEdit_->clear();
    }
    fillClanList();
  });
}

void SettingsDialog::deleteClan() {
  Guarded([this] {
    const QList<QListWidgetItem*> selected = clanList_->selectedItems();
    if (selected.isEmpty())
      return;
    const int row = clanList_->row(selected.front());
    std::vector<std::string>& clans = selectedServerClans();
    // The list box is a copy of this list, so the row names the same entry.
    if (row >= 0 && static_cast<std::size_t>(row) < clans.size())
      clans.erase(clans.begin() + row);
    fillClanList();
  });
}

void SettingsDialog::enableProxyFields() {
  Guarded([this] {
    const bool on = useProxyCheck_->isChecked();
    for (QWidget* proxyField :
         {static_cast<QWidget*>(proxyHostLabel_), static_cast<QWidget*>(proxyPortLabel_),
          static_cast<QWidget*>(proxyHostEdit_), static_cast<QWidget*>(proxyPortEdit_)})
      proxyField->setEnabled(on);
  });
}

void SettingsDialog::save() {
  Guarded([this] {
    DialogSettings fields;
    fields.useProxy = useProxyCheck_->isChecked();
    fields.proxyHost = ToCp1251(proxyHostEdit_->text());
    fields.proxyPort = ToCp1251(proxyPortEdit_->text());
    // The save sets an empty port to "80"; the edit shows it whether or not a
    // later step fails.
    try {
      CreateSettingsFolder(settingsFile_);  // the user's folder, at the first save
      SaveSettings(settingsFile_, clans_, fields);
    } catch (...) {
      proxyPortEdit_->setText(FromCp1251(fields.proxyPort));
      throw;
    }
    proxyPortEdit_->setText(FromCp1251(fields.proxyPort));
    accept();
    emit settingsSaved();
  });
}

}  // namespace quellar
