#pragma once

#include <QObject>
#include <QStringList>
#include <QStringView>

class QComboBox;

namespace quellar {

// The index of the first item, in list order, that begins with prefix, letter case
// ignored; -1 when none does or the prefix is empty.
int FirstItemStartingWith(const QStringList& items, QStringView prefix);

// Completes what is typed into an editable combo box from its items: after each
// typed character that leaves the caret at the end, the text is extended by the
// rest of the first item that begins with it, and that rest is selected. Deleting
// or pasting completes nothing.
class PrefixCompletion : public QObject {
  Q_OBJECT

 public:
  // Attaches to combo (which must be editable) and removes its own completer.
  explicit PrefixCompletion(QComboBox* combo);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Complete();

  QComboBox* combo_;
  bool characterTyped_ = false;
};

}  // namespace quellar
