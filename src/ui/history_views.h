#pragma once

#include <QLocale>
#include <QTimeZone>
#include <QWidget>

#include "history/day_view.h"
#include "history/week_grid.h"

namespace quellar {

// "Когда играют": the week grid, Monday to Sunday by the hour, each cell's colour
// the average of members online in it, with the scale's legend below. A cell
// without a fetch is hatched grey, which no number of members online gives.
class WeekGridView : public QWidget {
 public:
  explicit WeekGridView(const QLocale& locale, QWidget* parent = nullptr);

  void setGrid(const WeekGrid& grid);
  const WeekGrid& grid() const { return grid_; }
  // The highest average, the top of the scale: at least 1.
  double scaleTop() const;
  // The tooltip of the cell of weekday (0 is Monday) and hour.
  QString cellText(int weekday, int hour) const;
  // Where the cell of weekday and hour is drawn.
  QRect cellRect(int weekday, int hour) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QColor cellColour(const GridCell& cell) const;
  int labelWidth() const;

  QLocale locale_;
  WeekGrid grid_;
};

// "День": a row for each member seen on the day, their online spans as bars and
// their sightings as marks over the day's 24 hours.
class DayTimelineView : public QWidget {
 public:
  explicit DayTimelineView(const QTimeZone& zone, QWidget* parent = nullptr);

  void setDay(DayView day);
  const DayView& day() const { return day_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return {0, 0}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int nickWidth() const;
  int rowHeight() const;
  // The x of an instant of the day within the axis from left to right.
  int xOf(std::int64_t utc, int left, int right) const;

  QTimeZone zone_;
  DayView day_;
};

}  // namespace quellar
