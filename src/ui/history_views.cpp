#include "ui/history_views.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <array>

#include "common/cp1251.h"

namespace quellar {
namespace {

constexpr int kCellWidth = 22;
constexpr int kCellHeight = 20;
constexpr int kMargin = 6;
constexpr int kLegendHeight = 14;
constexpr std::array<const char16_t*, 7> kWeekdays = {u"Пн", u"Вт", u"Ср", u"Чт",
                                                      u"Пт", u"Сб", u"Вс"};
// From nobody online to the most: pale to deep blue.
const QColor kLow(235, 243, 252);
const QColor kHigh(8, 64, 145);
const QColor kNoData(200, 200, 200);
const QColor kSpan(40, 110, 200);
const QColor kSighting(210, 90, 20);

QColor Blend(const QColor& a, const QColor& b, double share) {
  share = std::clamp(share, 0.0, 1.0);
  return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * share),
                          static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * share),
                          static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * share));
}

void FillNoData(QPainter& painter, const QRect& rect) {
  painter.fillRect(rect, Qt::white);
  painter.fillRect(rect, QBrush(kNoData, Qt::BDiagPattern));
}

}  // namespace

WeekGridView::WeekGridView(const QLocale& locale, QWidget* parent)
    : QWidget(parent), locale_(locale) {
  setObjectName(QStringLiteral("weekGridView"));
  setMouseTracking(true);
  // Its size is the grid's, whether or not its tab has been shown yet.
  setFixedSize(sizeHint());
}

void WeekGridView::setGrid(const WeekGrid& grid) {
  grid_ = grid;
  update();
}

double WeekGridView::scaleTop() const {
  double top = 1.0;
  for (const GridCell& cell : grid_.cells)
    top = std::max(top, cell.Average());
  return top;
}

QString WeekGridView::cellText(int weekday, int hour) const {
  const GridCell& cell = grid_.at(weekday, hour);
  const QString when = QStringLiteral(u"%1, %2:00–%3:00")
                           .arg(QString::fromUtf16(kWeekdays[static_cast<std::size_t>(weekday)]))
                           .arg(hour, 2, 10, QLatin1Char('0'))
                           .arg(hour + 1, 2, 10, QLatin1Char('0'));
  if (cell.fetches == 0)
    return when + QStringLiteral(u": нет данных");
  return when + QStringLiteral(u": в среднем %1 в игре, опросов: %2")
                    .arg(locale_.toString(cell.Average(), 'f', 1))
                    .arg(cell.fetches);
}

int WeekGridView::labelWidth() const {
  int width = 0;
  for (const char16_t* day : kWeekdays)
    width = std::max(width, fontMetrics().horizontalAdvance(QString::fromUtf16(day)));
  return width + kMargin;
}

QRect WeekGridView::cellRect(int weekday, int hour) const {
  const int top = kMargin + fontMetrics().height() + 2;
  return {kMargin + labelWidth() + hour * kCellWidth, top + weekday * kCellHeight, kCellWidth,
          kCellHeight};
}

QColor WeekGridView::cellColour(const GridCell& cell) const {
  return Blend(kLow, kHigh, cell.Average() / scaleTop());
}

QSize WeekGridView::sizeHint() const {
  const QRect last = cellRect(6, 23);
  return {last.right() + kMargin + 1,
          last.bottom() + 2 * kMargin + kLegendHeight + fontMetrics().height() + 1};
}

void WeekGridView::paintEvent(QPaintEvent*) {
  // On the tab page's own background.
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  painter.setPen(palette().color(QPalette::WindowText));
  for (int hour = 0; hour < 24; hour += 3) {
    const QRect cell = cellRect(0, hour);
    painter.drawText(QRect(cell.left(), kMargin, kCellWidth * 2, metrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, QString::number(hour));
  }
  for (int weekday = 0; weekday < 7; ++weekday) {
    const QRect cell = cellRect(weekday, 0);
    painter.drawText(QRect(kMargin, cell.top(), labelWidth(), kCellHeight),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf16(kWeekdays[static_cast<std::size_t>(weekday)]));
    for (int hour = 0; hour < 24; ++hour) {
      const QRect place = cellRect(weekday, hour).adjusted(0, 0, -1, -1);
      const GridCell& data = grid_.at(weekday, hour);
      if (data.fetches == 0)
        FillNoData(painter, place);
      else
        painter.fillRect(place, cellColour(data));
    }
  }

  // The legend: the scale from 0 to the top, then the look of a cell without data.
  const int legendTop = cellRect(6, 0).bottom() + kMargin + 1;
  const int left = kMargin + labelWidth();
  const QString zero = QStringLiteral("0");
  const QString top = locale_.toString(scaleTop(), 'f', 1);
  painter.drawText(QRect(left, legendTop, metrics.horizontalAdvance(zero), kLegendHeight),
                   Qt::AlignVCenter, zero);
  const QRect scale(left + metrics.horizontalAdvance(zero) + 4, legendTop, 8 * kCellWidth,
                    kLegendHeight);
  QLinearGradient gradient(scale.topLeft(), scale.topRight());
  gradient.setColorAt(0, kLow);
  gradient.setColorAt(1, kHigh);
  painter.fillRect(scale, gradient);
  painter.drawText(
      QRect(scale.right() + 4, legendTop, metrics.horizontalAdvance(top) + 2, kLegendHeight),
      Qt::AlignVCenter, top);
  const int noDataLeft = scale.right() + 4 + metrics.horizontalAdvance(top) + 3 * kMargin;
  const QRect noData(noDataLeft, legendTop, kCellWidth, kLegendHeight);
  FillNoData(painter, noData);
  painter.drawRect(noData.adjusted(0, 0, -1, -1));
  const QString noDataText = QStringLiteral(u"нет данных");
  painter.drawText(QRect(noData.right() + 4, legendTop, metrics.horizontalAdvance(noDataText) + 2,
                         kLegendHeight),
                   Qt::AlignVCenter, noDataText);
  const QString caption = QStringLiteral(u"Цвет: в среднем в игре за час, по местному времени");
  painter.drawText(QRect(left, legendTop + kLegendHeight + 2,
                         metrics.horizontalAdvance(caption) + 2, metrics.height()),
                   Qt::AlignVCenter, caption);
}

bool WeekGridView::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    for (int weekday = 0; weekday < 7; ++weekday) {
      for (int hour = 0; hour < 24; ++hour) {
        if (cellRect(weekday, hour).contains(help->pos())) {
          QToolTip::showText(help->globalPos(), cellText(weekday, hour), this);
          return true;
        }
      }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  return QWidget::event(event);
}

DayTimelineView::DayTimelineView(const QTimeZone& zone, QWidget* parent)
    : QWidget(parent), zone_(zone) {
  setObjectName(QStringLiteral("dayTimelineView"));
}

void DayTimelineView::setDay(DayView day) {
  day_ = std::move(day);
  updateGeometry();
  adjustSize();
  update();
}

int DayTimelineView::rowHeight() const {
  return fontMetrics().height() + 4;
}

int DayTimelineView::nickWidth() const {
  int width = fontMetrics().horizontalAdvance(QStringLiteral("WWWWWW"));
  for (const DayRow& row : day_.rows)
    width = std::max(width, fontMetrics().horizontalAdvance(FromCp1251(row.nick)));
  return width + 2 * kMargin;
}

QSize DayTimelineView::sizeHint() const {
  const int rows = std::max<int>(1, static_cast<int>(day_.rows.size()));
  return {nickWidth() + 24 * 18 + 2 * kMargin, (rows + 1) * rowHeight() + 2 * kMargin};
}

int DayTimelineView::xOf(std::int64_t utc, int left, int right) const {
  const std::int64_t length = std::max<std::int64_t>(1, day_.end - day_.begin);
  const std::int64_t offset = std::clamp<std::int64_t>(utc - day_.begin, 0, length);
  return left + static_cast<int>((right - left) * offset / length);
}

void DayTimelineView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  const int left = nickWidth();
  const int right = width() - 2 * kMargin;
  const int height = rowHeight();
  const QColor text = palette().color(QPalette::Text);
  const QColor grid = Blend(palette().color(QPalette::Base), text, 0.15);

  // The axis: an hour a line, labelled every third.
  const int axisBottom = kMargin + height;
  const int rowsBottom = axisBottom + std::max<int>(1, static_cast<int>(day_.rows.size())) * height;
  for (int hour = 0; hour <= 24; ++hour) {
    const int x = left + (right - left) * hour / 24;
    painter.setPen(grid);
    painter.drawLine(x, axisBottom, x, rowsBottom);
    if (hour % 3 == 0 && hour < 24) {
      painter.setPen(text);
      painter.drawText(QRect(x + 2, kMargin, 3 * 18, height), Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0')));
    }
  }
  if (day_.rows.empty()) {
    painter.setPen(text);
    painter.drawText(QRect(left, axisBottom, right - left, height), Qt::AlignCenter,
                     QStringLiteral(u"В этот день никого не видели"));
    return;
  }
  int top = axisBottom;
  for (const DayRow& row : day_.rows) {
    painter.setPen(text);
    painter.drawText(QRect(kMargin, top, left - 2 * kMargin, height),
                     Qt::AlignLeft | Qt::AlignVCenter, FromCp1251(row.nick));
    const QRect band(left, top + 3, right - left, height - 6);
    for (const PresenceSpan& span : row.spans) {
      const int x1 = xOf(span.first, left, right);
      const int x2 = std::max(x1 + 2, xOf(span.last, left, right));
      painter.fillRect(QRect(x1, band.top(), x2 - x1, band.height()), kSpan);
    }
    painter.setPen(QPen(kSighting, 2));
    for (const std::int64_t seen : row.sightings) {
      const int x = xOf(seen, left, right);
      painter.drawLine(x, band.top() - 1, x, band.bottom() + 1);
    }
    top += height;
  }
}

}  // namespace quellar
