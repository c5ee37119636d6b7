#include "ui/error_box.h"

#include <QApplication>
#include <QMessageBox>
#include <utility>

#include "common/cp1251.h"

namespace quellar {
namespace {

void ShowMessageBox(const QString& text) {
  QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle), text,
                  QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

ErrorBoxPresenter& Presenter() {
  static ErrorBoxPresenter presenter = ShowMessageBox;
  return presenter;
}

}  // namespace

QString ErrorBoxText(std::string_view message) {
  QString text = FromCp1251(message);
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
    text += u'.';
  return text;
}

void ShowErrorBox(std::string_view message) {
  Presenter()(ErrorBoxText(message));
}

ErrorBoxPresenter SetErrorBoxPresenter(ErrorBoxPresenter presenter) {
  return std::exchange(Presenter(), std::move(presenter));
}

}  // namespace quellar
