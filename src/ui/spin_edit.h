#pragma once

#include <QString>
#include <QWidget>

#include "ui/spin_rules.h"

class QLineEdit;
class QToolButton;

namespace quellar {

// A numeric spin field: an edit whose value is its text read as an integer, with
// up and down arrow buttons. Typing is filtered to the characters a number needs
// (anything else beeps); pasting inserts any text. Arrows step within the range; a
// number outside it is corrected when the field loses the focus.
class SpinEdit : public QWidget {
  Q_OBJECT

 public:
  explicit SpinEdit(QString decimalSeparator, SpinRange range = {}, QWidget* parent = nullptr);

  int value() const;
  QString text() const;
  void setText(const QString& text);

  QLineEdit* lineEdit() const { return edit_; }
  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

 signals:
  // Every change of the text, typed, pasted, stepped or corrected.
  void changed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Step(int delta);

  QString decimalSeparator_;
  SpinRange range_;
  QLineEdit* edit_;
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace quellar
