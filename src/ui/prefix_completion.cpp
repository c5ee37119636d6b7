#include "ui/prefix_completion.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace quellar {

int FirstItemStartingWith(const QStringList& items, QStringView prefix) {
  if (prefix.isEmpty())
    return -1;
  for (int i = 0; i < items.size(); ++i) {
    if (QStringView(items[i]).startsWith(prefix, Qt::CaseInsensitive))
      return i;
  }
  return -1;
}

PrefixCompletion::PrefixCompletion(QComboBox* combo) : QObject(combo), combo_(combo) {
  QLineEdit* edit = combo_->lineEdit();
  Q_ASSERT(edit != nullptr);
  combo_->setCompleter(nullptr);
  // Keys reach the combo box, which hands them to its edit directly; a key sent
  // to the edit itself passes the edit's filter.
  combo_->installEventFilter(this);
  edit->installEventFilter(this);
  connect(edit, &QLineEdit::textEdited, this, [this] {
    if (characterTyped_)
      Complete();
    characterTyped_ = false;
  });
}

bool PrefixCompletion::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    const QString typed = key->text();
    // A printable character typed without Ctrl or Alt; its insertion follows.
    characterTyped_ = !typed.isEmpty() && typed.front().isPrint() &&
                      !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  }
  return QObject::eventFilter(watched, event);
}

void PrefixCompletion::Complete() {
  QLineEdit* edit = combo_->lineEdit();
  const QString typed = edit->text();
  if (edit->hasSelectedText() || edit->cursorPosition() != typed.size())
    return;
  QStringList items;
  items.reserve(combo_->count());
  for (int i = 0; i < combo_->count(); ++i)
    items << combo_->itemText(i);
  const int index = FirstItemStartingWith(items, typed);
  if (index < 0)
    return;
  const QString rest = items[index].mid(typed.size());
  if (rest.isEmpty())
    return;
  edit->setText(typed + rest);
  edit->setSelection(typed.size(), rest.size());
}

}  // namespace quellar
