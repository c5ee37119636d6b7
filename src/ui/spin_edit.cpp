#include "ui/spin_edit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <utility>

namespace quellar {
namespace {

// A held arrow button steps once at once, again after 400 ms, then every 100 ms.
constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatIntervalMs = 100;
constexpr int kButtonWidth = 15;

QToolButton* MakeArrowButton(Qt::ArrowType arrow, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  button->setFocusPolicy(Qt::NoFocus);
  button->setAutoRepeat(true);
  button->setAutoRepeatDelay(kRepeatDelayMs);
  button->setAutoRepeatInterval(kRepeatIntervalMs);
  return button;
}

// The focus moves to another control of the window, rather than the window losing
// activation or a menu taking the keyboard for a moment.
bool LeavesTheField(const QFocusEvent& event) {
  switch (event.reason()) {
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
      return false;
    default:
      return true;
  }
}

}  // namespace

SpinEdit::SpinEdit(QString decimalSeparator, SpinRange range, QWidget* parent)
    : QWidget(parent),
      decimalSeparator_(std::move(decimalSeparator)),
      range_(range),
      edit_(new QLineEdit(this)),
      up_(MakeArrowButton(Qt::UpArrow, this)),
      down_(MakeArrowButton(Qt::DownArrow, this)) {
  edit_->setObjectName(QStringLiteral("edit"));
  up_->setObjectName(QStringLiteral("up"));
  down_->setObjectName(QStringLiteral("down"));
  edit_->setTextMargins(0, 0, kButtonWidth, 0);
  edit_->setText(QString::number(range_.min));
  edit_->installEventFilter(this);
  setFocusProxy(edit_);
  setFocusPolicy(Qt::StrongFocus);
  connect(edit_, &QLineEdit::textChanged, this, &SpinEdit::changed);
  connect(up_, &QToolButton::clicked, this, [this] { Step(+1); });
  connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
}

int SpinEdit::value() const {
  return range_.ValueOf(edit_->text());
}

QString SpinEdit::text() const {
  return edit_->text();
}

void SpinEdit::setText(const QString& text) {
  edit_->setText(text);
}

void SpinEdit::Step(int delta) {
  edit_->setText(range_.Stepped(edit_->text(), delta));
}

bool SpinEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched != edit_)
    return QWidget::eventFilter(watched, event);
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
      Step(key->key() == Qt::Key_Up ? +1 : -1);
      return true;
    }
    if (!SpinAcceptsKey(key->text(), key->modifiers(), decimalSeparator_)) {
      QApplication::beep();
      return true;
    }
  } else if (event->type() == QEvent::FocusOut &&
             LeavesTheField(*static_cast<QFocusEvent*>(event))) {
    if (std::optional<QString> corrected = range_.CorrectionOnLeave(edit_->text()))
      edit_->setText(*corrected);
  }
  return QWidget::eventFilter(watched, event);
}

void SpinEdit::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int w = width();
  const int h = height();
  edit_->setGeometry(0, 0, w, h);
  const int upHeight = (h - 2) / 2;
  up_->setGeometry(w - kButtonWidth - 1, 1, kButtonWidth, upHeight);
  down_->setGeometry(w - kButtonWidth - 1, 1 + upHeight, kButtonWidth, h - 2 - upHeight);
  up_->raise();
  down_->raise();
}

}  // namespace quellar
