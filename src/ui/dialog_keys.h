#pragma once

class QDialog;
class QKeyEvent;

namespace quellar {

// Keys in a dialog that has neither a default nor a cancel button: Enter presses
// the push button that has the focus and nothing else; Escape does nothing. The
// dialog's own keyPressEvent passes every key here first; returns true when the
// key was taken.
bool HandleDialogKey(QDialog& dialog, QKeyEvent& event);

}  // namespace quellar
