#pragma once

#include <QDialog>

namespace quellar {

// The about dialog: a credit line, a recruitment line and the clan's web address.
class TAbout : public QDialog {
  Q_OBJECT

 public:
  explicit TAbout(QWidget* parent = nullptr);
};

}  // namespace quellar
