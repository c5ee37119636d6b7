#include "ui/dialog_keys.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

namespace quellar {

bool HandleDialogKey(QDialog& dialog, QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Escape:
      event.accept();  // no cancel button: the dialog stays as it is
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      event.accept();
      auto* button = qobject_cast<QPushButton*>(dialog.focusWidget());
      if (button != nullptr && button->window() == &dialog && button->isEnabled() &&
          button->isVisible())
        button->click();
      return true;
    }
    default:
      return false;
  }
}

}  // namespace quellar
