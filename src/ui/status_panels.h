#pragma once

#include <QString>
#include <QWidget>
#include <array>

class QLabel;

namespace quellar {

// A status bar of three side-by-side panels: 118 pixels without a bevel, then two
// sunken panels of 150 pixels with centred text; no size grip.
class StatusPanels : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kPanelCount = 3;

  explicit StatusPanels(QWidget* parent = nullptr);

  QString panelText(int panel) const;
  void setPanelText(int panel, const QString& text);
  QLabel* panel(int panel) const { return panels_.at(panel); }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void LayOut();

  std::array<QLabel*, kPanelCount> panels_{};
};

}  // namespace quellar
