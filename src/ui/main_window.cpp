#include "ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <array>
#include <utility>

#include "common/cp1251.h"
#include "common/path_text.h"
#include "common/servers.h"
#include "roster/load_roster.h"
#include "roster/roster_model.h"
#include "roster/roster_sort.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"
#include "ui/classic_look.h"
#include "ui/guard.h"
#include "ui/prefix_completion.h"
#include "ui/spin_edit.h"
#include "ui/spin_rules.h"
#include "ui/status_panels.h"

namespace quellar {
namespace {

constexpr int kClientWidth = 410;
constexpr int kClientHeight = 417;
constexpr QPoint kFirstShownAt{359, 198};
constexpr std::array<int, 4> kColumnWidths = {105, 91, 105, 105};

template <typename Object>
Object* Named(Object* object, const char* name) {
  object->setObjectName(QLatin1String(name));
  return object;
}

QLabel* MakeLabel(const char* name, const QString& caption, QPoint at, QWidget* parent) {
  auto* label = Named(new QLabel(caption, parent), name);
  label->move(at);
  label->adjustSize();
  return label;
}

std::filesystem::path ExecutableDirectory() {
  // Qt names it with forward slashes; messages name options.ini the Windows way.
  return PathFromQString(QCoreApplication::applicationDirPath()).make_preferred();
}

// The hourglass while a fetch holds the window, whichever way the fetch ends.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

TMain::TMain(MainWindowContext context, QWidget* parent)
    : QMainWindow(parent),
      context_(std::move(context)),
      settingsFile_(ChooseSettingsFile(
          context_.settingsDirectory.empty() ? ExecutableDirectory() : context_.settingsDirectory,
          context_.userConfigDirectory.empty() ? UserConfigDirectory()
                                               : context_.userConfigDirectory)),
      roster_(new RosterModel(context_.locale.locale, this)) {
  setObjectName(QStringLiteral("Main"));
  setWindowTitle(QStringLiteral("Quellar"));
  // Fixed single border: system menu, minimise and close, no maximise.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFont(ClassicWindowFont());

  CreateMenus();
  CreateControls();
  CreateTable();
  Connect();

  // The client area lies below the menu bar and has a fixed size.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  move(kFirstShownAt);

  timerInterval_ = context_.timerBaseMs;
  Timer1->start(timerInterval_);
  ComboBox2->setFocus();
  FormCreate();
}

TMain::~TMain() {
  ListView1->removeEventFilter(this);
  ListView1->viewport()->removeEventFilter(this);
}

void TMain::AttachDialogs(QDialog* param, QDialog* about) {
  param_ = param;
  about_ = about;
}

void TMain::CreateMenus() {
  MainMenu1 = Named(menuBar(), "MainMenu1");
  // The menu bar belongs to the window, above its client area, on every desktop.
  MainMenu1->setNativeMenuBar(false);
  cv1 = Named(MainMenu1->addMenu(QStringLiteral("Опции")), "cv1");
  N6 = Named(cv1->addAction(QStringLiteral("Автообновление")), "N6");
  N6->setCheckable(true);
  c1 = Named(cv1->addMenu(QStringLiteral("Сервер")), "c1");
  x31 = Named(c1->addAction(QStringLiteral("x3")), "x31");
  x3001 = Named(c1->addAction(QStringLiteral("x300")), "x3001");
  N1 = Named(cv1->addAction(QStringLiteral("Настройки")), "N1");
  N3 = Named(cv1->addSeparator(), "N3");
  N2 = Named(cv1->addAction(QStringLiteral("Выход")), "N2");
  N4 = Named(MainMenu1->addMenu(QStringLiteral("Помощь")), "N4");
  N5 = Named(N4->addAction(QStringLiteral("О программе")), "N5");

  PopupMenu1 = Named(new QMenu(this), "PopupMenu1");
  N14 = Named(PopupMenu1->addAction(QStringLiteral("Обновить")), "N14");
  N15 = Named(PopupMenu1->addSeparator(), "N15");
  N7 = Named(PopupMenu1->addAction(QStringLiteral("Копировать ник")), "N7");
  N8 = Named(PopupMenu1->addSeparator(), "N8");
  N9 = Named(PopupMenu1->addMenu(QStringLiteral("Сортировать по")), "N9");
  N10 = Named(N9->addAction(QStringLiteral("Нику")), "N10");
  N11 = Named(N9->addAction(QStringLiteral("Времени игры")), "N11");
  N12 = Named(N9->addAction(QStringLiteral("Дате регистрации")), "N12");
  N13 = Named(N9->addAction(QStringLiteral("Профессии")), "N13");

  // The shortcuts are shown in the menu but carried out by the table itself, and
  // only while it has the keyboard focus (see eventFilter).
  N14->setShortcut(QKeySequence(Qt::Key_F5));
  N7->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  for (QAction* item : {N14, N7})
    item->setShortcutContext(Qt::WidgetShortcut);

  sortGroup_ = new QActionGroup(this);
  sortGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
  for (QAction* item : {N10, N11, N12, N13}) {
    item->setCheckable(true);
    sortGroup_->addAction(item);
  }
}

void TMain::CreateControls() {
  auto* client = Named(new QWidget(this), "client");
  client->setFixedSize(kClientWidth, kClientHeight);
  setCentralWidget(client);

  GroupBox1 = Named(NewClassicGroupBox(QStringLiteral("Данные"), client), "GroupBox1");
  GroupBox1->setGeometry(5, 0, 233, 97);
  ComboBox2 = Named(new QComboBox(GroupBox1), "ComboBox2");
  ComboBox2->setEditable(true);
  ComboBox2->setInsertPolicy(QComboBox::NoInsert);
  ComboBox2->setMaxVisibleItems(8);
  ComboBox2->setGeometry(8, 32, 137, 21);
  new PrefixCompletion(ComboBox2);
  Label1 = MakeLabel("Label1", QStringLiteral("Название клана"), {8, 16}, GroupBox1);
  ComboBox1 = Named(new QComboBox(GroupBox1), "ComboBox1");
  for (std::string_view server : kServerNames)
    ComboBox1->addItem(QString::fromLatin1(server.data(), static_cast<qsizetype>(server.size())));
  ComboBox1->setCurrentIndex(0);
  ComboBox1->setGeometry(152, 32, 73, 21);
  Label2 = MakeLabel("Label2", QStringLiteral("Сервер"), {152, 16}, GroupBox1);
  CheckBox1 = Named(new QCheckBox(QStringLiteral("С учетом регистра"), GroupBox1), "CheckBox1");
  CheckBox1->setGeometry(16, 64, 121, 17);
  Button1 = Named(new QPushButton(QStringLiteral("Получить"), GroupBox1), "Button1");
  Button1->setGeometry(152, 64, 73, 21);
  // Enter presses the focused button, as Space does; outside a dialog this binds
  // no default button.
  Button1->setAutoDefault(true);

  GroupBox2 = Named(NewClassicGroupBox(QStringLiteral("Автообновление"), client), "GroupBox2");
  GroupBox2->setGeometry(245, 0, 161, 97);
  CheckBox2 = Named(new QCheckBox(QStringLiteral("Автообновление"), GroupBox2), "CheckBox2");
  CheckBox2->setGeometry(8, 24, 145, 17);
  SpinEdit1 =
      Named(new SpinEdit(context_.locale.locale.decimalPoint(), SpinRange{1, 60}, GroupBox2),
            "SpinEdit1");
  SpinEdit1->setGeometry(56, 54, 41, 22);
  Label3 = MakeLabel("Label3", QStringLiteral("Период:"), {8, 56}, GroupBox2);
  Label4 = MakeLabel("Label4", QStringLiteral("минут(ы)"), {104, 56}, GroupBox2);
  for (QWidget* periodControl : {static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label4),
                                 static_cast<QWidget*>(SpinEdit1)})
    periodControl->setEnabled(false);

  ListView1 = Named(new QTreeView(client), "ListView1");
  ListView1->setGeometry(0, 103, kClientWidth, 295);

  StatusBar1 = Named(new StatusPanels(client), "StatusBar1");
  StatusBar1->setGeometry(0, 398, kClientWidth, 19);

  Timer1 = Named(new QTimer(this), "Timer1");

  DescribeControls();

  setTabOrder(ComboBox2, ComboBox1);
  setTabOrder(ComboBox1, CheckBox1);
  setTabOrder(CheckBox1, Button1);
  setTabOrder(Button1, CheckBox2);
  setTabOrder(CheckBox2, SpinEdit1);
  setTabOrder(SpinEdit1, ListView1);
}

// Names and descriptions for screen readers, where a control's caption stands in a
// separate label or it has none.
void TMain::DescribeControls() {
  Label1->setBuddy(ComboBox2);
  Label2->setBuddy(ComboBox1);
  Label3->setBuddy(SpinEdit1);
  ComboBox2->setAccessibleName(Label1->text());
  ComboBox2->setAccessibleDescription(
      QStringLiteral(u"Введите название клана или выберите его из списка"));
  ComboBox1->setAccessibleName(Label2->text());
  ComboBox1->setAccessibleDescription(QStringLiteral(u"Игровой сервер: x3 или x300"));
  CheckBox1->setAccessibleDescription(
      QStringLiteral(u"Различать прописные и строчные буквы в названии клана"));
  Button1->setAccessibleDescription(QStringLiteral(u"Запросить, кто из клана сейчас в игре"));
  CheckBox2->setAccessibleDescription(QStringLiteral(u"Обновлять список через заданный период"));
  SpinEdit1->setAccessibleName(QStringLiteral(u"Период, минут(ы)"));
  SpinEdit1->setAccessibleDescription(QStringLiteral(u"Период автообновления, от 1 до 60 минут"));
  ListView1->setAccessibleName(QStringLiteral(u"Игроки клана в игре"));
  ListView1->setAccessibleDescription(QStringLiteral(
      u"Ник, время игры, регистрация и профессия; щелчок по заголовку сортирует столбец"));
  StatusBar1->setAccessibleName(QStringLiteral(u"Строка состояния"));
  StatusBar1->setAccessibleDescription(QStringLiteral(u"Онлайн клана и онлайн сервера"));
}

void TMain::CreateTable() {
  ListView1->setHeader(NewPlainHeader(ListView1));
  ListView1->setModel(roster_);
  ListView1->setRootIsDecorated(false);
  ListView1->setItemsExpandable(false);
  ListView1->setUniformRowHeights(true);
  ListView1->setAllColumnsShowFocus(true);
  ListView1->setSortingEnabled(false);
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
  QHeaderView* header = ListView1->header();
  header->setSectionsClickable(true);
  header->setSectionsMovable(false);
  header->setStretchLastSection(false);
  header->setSortIndicatorShown(false);
  for (int column = 0; column < static_cast<int>(kColumnWidths.size()); ++column)
    header->resizeSection(column, kColumnWidths[column]);
  ListView1->installEventFilter(this);
  ListView1->viewport()->installEventFilter(this);
}

void TMain::Connect() {
  connect(Button1, &QPushButton::clicked, this, &TMain::Button1Click);
  connect(N14, &QAction::triggered, this, &TMain::N14Click);
  connect(Timer1, &QTimer::timeout, this, &TMain::Timer1Timer);
  connect(ComboBox1, &QComboBox::activated, this, &TMain::ComboBox1Change);
  connect(x31, &QAction::triggered, this, &TMain::x31Click);
  connect(x3001, &QAction::triggered, this, &TMain::x3001Click);
  connect(CheckBox2, &QCheckBox::toggled, this, &TMain::CheckBox2Click);
  connect(N6, &QAction::triggered, this, &TMain::N6Click);
  connect(SpinEdit1, &SpinEdit::changed, this, &TMain::SpinEdit1Change);
  connect(ListView1->header(), &QHeaderView::sectionClicked, this, &TMain::ListView1ColumnClick);
  connect(N10, &QAction::triggered, this, &TMain::N10Click);
  connect(N11, &QAction::triggered, this, &TMain::N11Click);
  connect(N12, &QAction::triggered, this, &TMain::N12Click);
  connect(N13, &QAction::triggered, this, &TMain::N13Click);
  connect(PopupMenu1, &QMenu::aboutToShow, this, &TMain::PopupMenu1Popup);
  connect(N7, &QAction::triggered, this, &TMain::N7Click);
  connect(N1, &QAction::triggered, this, &TMain::N1Click);
  connect(N5, &QAction::triggered, this, &TMain::N5Click);
  connect(N2, &QAction::triggered, this, &TMain::N2Click);
  connect(ListView1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu1->popup(ListView1->viewport()->mapToGlobal(at)); });
  connect(roster_, &RosterModel::statusTextsChanged, this, &TMain::ShowStatusTexts);
}

void TMain::FormCreate() {
  Guarded([&] {
    const QString typed = ComboBox2->currentText();
    ComboBox2->clear();
    ComboBox2->setEditText(typed);
    LoadSettings(settingsFile_, context_.clans.get(), proxySettings_);
    FillClanCombo();
  });
}

void TMain::FillClanCombo() {
  const QString typed = ComboBox2->currentText();
  QStringList names;
  for (const std::string& name : context_.clans.get().ForServer(ComboBox1->currentIndex()))
    names << FromCp1251(name);
  ComboBox2->clear();
  ComboBox2->addItems(names);
  ComboBox2->setCurrentIndex(-1);
  ComboBox2->setEditText(typed);
}

void TMain::Button1Click() {
  Guarded([&] {
    queryState_.currentServer = ToCp1251(ComboBox1->currentText());
    queryState_.currentClan = ToCp1251(ComboBox2->currentText());
    LoadRoster(queryState_.currentClan);
  });
}

void TMain::N14Click() {
  Guarded([&] { LoadRoster(queryState_.currentClan); });
}

void TMain::Timer1Timer() {
  Guarded([&] {
    if (CheckBox2->isChecked() && !queryState_.currentClan.empty())
      LoadRoster(queryState_.currentClan);
  });
}

void TMain::ComboBox1Change() {
  Guarded([&] { FillClanCombo(); });
}

void TMain::x31Click() {
  Guarded([&] {
    ComboBox1->setCurrentIndex(0);
    FillClanCombo();
  });
}

void TMain::x3001Click() {
  Guarded([&] {
    ComboBox1->setCurrentIndex(1);
    FillClanCombo();
  });
}

void TMain::CheckBox2Click() {
  Guarded([&] {
    const bool on = CheckBox2->isChecked();
    Label4->setEnabled(on);
    Label3->setEnabled(on);
    SpinEdit1->setEnabled(on);
    N6->setChecked(on);
  });
}

void TMain::N6Click() {
  Guarded([&] { CheckBox2->setChecked(N6->isChecked()); });
}

void TMain::SpinEdit1Change() {
  Guarded([&] {
    // A period below 1 gives no ticks; a change restarts the timer.
    const int interval = TimerIntervalMs(SpinEdit1->value(), context_.timerBaseMs);
    if (interval == timerInterval_)
      return;
    timerInterval_ = interval;
    if (interval == 0)
      Timer1->stop();
    else
      Timer1->start(interval);
  });
}

void TMain::ListView1ColumnClick(int column) {
  Guarded([&] { SortRoster(column); });
}

void TMain::N10Click() {
  Guarded([&] {
    N10->setChecked(true);
    SortRoster(static_cast<int>(RosterColumn::Nick));
  });
}

void TMain::N11Click() {
  Guarded([&] {
    N11->setChecked(true);
    SortRoster(static_cast<int>(RosterColumn::PlayTime));
  });
}

void TMain::N12Click() {
  Guarded([&] {
    N12->setChecked(true);
    SortRoster(static_cast<int>(RosterColumn::Registration));
  });
}

void TMain::N13Click() {
  Guarded([&] {
    N13->setChecked(true);
    SortRoster(static_cast<int>(RosterColumn::Profession));
  });
}

void TMain::PopupMenu1Popup() {
  Guarded([&] {
    N14->setEnabled(!queryState_.currentClan.empty());
    N7->setEnabled(ListView1->selectionModel()->hasSelection());
  });
}

void TMain::N7Click() {
  Guarded([&] { CopySelectedNick(); });
}

void TMain::ListView1DblClick() {
  Guarded([&] { CopySelectedNick(); });
}

void TMain::N1Click() {
  Guarded([&] {
    if (param_)
      param_->exec();
  });
}

void TMain::N5Click() {
  Guarded([&] {
    if (about_)
      about_->exec();
  });
}

void TMain::N2Click() {
  Guarded([&] { close(); });
}

void TMain::LoadRoster(const std::string& clan) {
  BusyCursor busy;
  quellar::LoadRoster(
      IdHTTP1, proxySettings_,
      RosterQuery{context_.rosterHost, clan, queryState_.currentServer, CheckBox1->isChecked()},
      *roster_);
}

void TMain::SortRoster(int column) {
  quellar::SortRoster(*roster_, queryState_.sortDirection, static_cast<RosterColumn>(column),
                      context_.locale);
}

void TMain::CopySelectedNick() {
  const QModelIndexList selected = ListView1->selectionModel()->selectedRows();
  if (selected.isEmpty())
    return;
  const std::string_view nick =
      roster_->rows().at(static_cast<std::size_t>(selected.front().row())).nick;
  QGuiApplication::clipboard()->setText(FromCp1251(nick));
}

void TMain::ShowStatusTexts() {
  StatusBar1->setPanelText(1, roster_->clanStatusText());
  StatusBar1->setPanelText(2, roster_->serverStatusText());
}

bool TMain::HandleTableKey(QEvent* event) {
  const auto* key = static_cast<const QKeyEvent*>(event);
  const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
  QAction* item = nullptr;
  if (key->key() == Qt::Key_F5 && modifiers == Qt::NoModifier)
    item = N14;
  else if (key->key() == Qt::Key_C && modifiers == Qt::ControlModifier)
    item = N7;
  if (item == nullptr)
    return false;
  // Claim the key before any shortcut or the table's own copy can take it.
  event->accept();
  if (event->type() == QEvent::KeyPress) {
    PopupMenu1Popup();
    if (item->isEnabled())
      item->trigger();
  }
  return true;
}

bool TMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListView1) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
      if (HandleTableKey(event))
        return true;
    }
  } else if (watched == ListView1->viewport()) {
    if (event->type() == QEvent::MouseButtonPress) {
      // A click beside the rows leaves none selected, as the list control does.
      const auto* mouse = static_cast<const QMouseEvent*>(event);
      if (!ListView1->indexAt(mouse->position().toPoint()).isValid())
        ListView1->clearSelection();
    } else if (event->type() == QEvent::MouseButtonDblClick &&
               static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton) {
      ListView1DblClick();
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace quellar
