#pragma once

#include <QString>
#include <functional>
#include <string_view>

namespace quellar {

// The application title, which names the program and titles the error box.
inline constexpr char kApplicationTitle[] = "quellar";

// The text the error box shows for a Windows-1251 message: a "." is appended when
// the last character's code is above that of "." (after a letter or a digit).
QString ErrorBoxText(std::string_view message);

// Shows the modal error box: stop icon, one OK button, the application title.
void ShowErrorBox(std::string_view message);

// Tests replace what showing the box does; returns the previous presenter.
using ErrorBoxPresenter = std::function<void(const QString& text)>;
ErrorBoxPresenter SetErrorBoxPresenter(ErrorBoxPresenter presenter);

}  // namespace quellar
