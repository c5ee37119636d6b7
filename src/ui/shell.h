#pragma once

#include <memory>

#include "ui/main_window.h"

namespace quellar {

// After the application object exists: sets the application title, creates the
// main window (whose creation loads the settings), then the settings and about
// dialogs hidden, wired to it. The main window is returned hidden; the dialogs
// belong to it.
std::unique_ptr<MainWindow> CreateWindows(MainWindowContext context = {});

// The program: the clan lists, the application, the windows, then the event loop
// until the main window is closed. Nothing is saved at exit.
int RunQuellar(int argc, char** argv);

}  // namespace quellar
