#include "ui/status_panels.h"

#include <QLabel>
#include <algorithm>

namespace quellar {
namespace {

struct PanelLook {
  int width;
  bool bevel;
  Qt::Alignment alignment;
};

constexpr std::array<PanelLook, StatusPanels::kPanelCount> kPanels = {{
    {118, false, Qt::AlignLeft | Qt::AlignVCenter},
    {150, true, Qt::AlignCenter},
    {150, true, Qt::AlignCenter},
}};

// Room between the bar's top edge and a panel, as a status bar draws it.
constexpr int kTopGap = 2;

}  // namespace

StatusPanels::StatusPanels(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  for (int i = 0; i < kPanelCount; ++i) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("panel%1").arg(i));
    label->setAlignment(kPanels[i].alignment);
    label->setFrameStyle(kPanels[i].bevel ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
    label->setIndent(2);
    // The server line comes from the network: never read it as markup.
    label->setTextFormat(Qt::PlainText);
    panels_[i] = label;
  }
  LayOut();
}

void StatusPanels::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
}

void StatusPanels::LayOut() {
  int left = 0;
  for (int i = 0; i < kPanelCount; ++i) {
    panels_[i]->setGeometry(left, kTopGap, kPanels[i].width, std::max(0, height() - kTopGap));
    left += kPanels[i].width;
  }
}

QString StatusPanels::panelText(int panel) const {
  return panels_.at(panel)->text();
}

void StatusPanels::setPanelText(int panel, const QString& text) {
  panels_.at(panel)->setText(text);
}

}  // namespace quellar
