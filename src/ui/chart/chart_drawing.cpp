#include "ui/chart/chart_drawing.h"

#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace tarvolin::ui {

namespace {

/// Colours far enough apart to tell twelve lines apart, on white and in print.
constexpr std::array<QRgb, 12> kPalette = {0x1f77b4, 0xff7f0e, 0x2ca02c, 0xd62728, 0x9467bd, 0x8c564b,
                                           0xe377c2, 0x7f7f7f, 0xbcbd22, 0x17becf, 0x393b79, 0xad494a};
/// After each round of the colours, the next dash.
constexpr std::array<Qt::PenStyle, 4> kDashes = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};

}  // namespace

QPen linePen(size_t i) {
  QPen pen(QColor(kPalette[i % kPalette.size()]), 2);
  pen.setStyle(kDashes[(i / kPalette.size()) % kDashes.size()]);
  return pen;
}

bool isPercentTitle(const QString& title) {
  return title.contains(QStringLiteral("hit ratio"), Qt::CaseInsensitive) || title.contains(QStringLiteral("(%)"));
}

bool chartHasTimes(const core::ChartData& data) {
  return !data.times.empty() &&
         std::all_of(data.times.begin(), data.times.end(), [](auto& t) { return t.has_value(); });
}

double chartX(const core::ChartData& data, size_t i) {
  if (!chartHasTimes(data)) return static_cast<double>(i + 1);
  // The report prints the server's local time: the axis shows it as it was printed.
  const QDateTime printed = QDateTime::fromMSecsSinceEpoch(*data.times[i] / 1000, Qt::UTC);
  return static_cast<double>(QDateTime(printed.date(), printed.time()).toMSecsSinceEpoch());
}

void drawChart(QChart& chart, const core::ChartData& data, const QString& yTitle) {
  chart.removeAllSeries();
  for (QAbstractAxis* axis : chart.axes()) {
    chart.removeAxis(axis);
    delete axis;
  }
  QAbstractAxis* xAxis = nullptr;
  if (chartHasTimes(data)) {
    auto* axis = new QDateTimeAxis;
    axis->setFormat(QStringLiteral("HH:mm:ss"));
    // A tick on each snapshot while they are few (a capture loop takes them evenly).
    axis->setTickCount(data.labels.size() <= 10 ? std::max<int>(2, static_cast<int>(data.labels.size())) : 7);
    axis->setTitleText(QStringLiteral("Snapshot time"));
    xAxis = axis;
  } else {
    auto* axis = new QValueAxis;
    axis->setLabelFormat(QStringLiteral("%d"));
    // Ticks on whole snapshot numbers, about ten at most, so that each label is its point's.
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(1);
    axis->setTickInterval(std::max<double>(1, std::ceil(static_cast<double>(data.labels.size()) / 10)));
    axis->setTitleText(QStringLiteral("Snapshot"));
    xAxis = axis;
  }
  xAxis->setObjectName(QStringLiteral("axtime"));
  auto* yAxis = new QValueAxis;
  yAxis->setObjectName(QStringLiteral("axvalue"));
  yAxis->setTitleText(yTitle);
  chart.addAxis(xAxis, Qt::AlignBottom);
  chart.addAxis(yAxis, Qt::AlignLeft);
  double low = std::numeric_limits<double>::max();
  double high = std::numeric_limits<double>::lowest();
  for (size_t n = 0; n < data.lines.size(); ++n) {
    const core::ChartLine& line = data.lines[n];
    auto* series = new QLineSeries;
    series->setName(QString::fromStdString(line.label));
    series->setPen(linePen(n));
    series->setPointsVisible(data.labels.size() <= 30);  // beyond, the marks hide the line
    for (size_t i = 0; i < line.y.size(); ++i)
      if (line.y[i]) {
        series->append(chartX(data, i), *line.y[i]);
        low = std::min(low, *line.y[i]);
        high = std::max(high, *line.y[i]);
      }
    chart.addSeries(series);
    series->attachAxis(xAxis);
    series->attachAxis(yAxis);
  }
  if (low > high) low = high = 0;
  const double margin = high > low ? (high - low) * 0.05 : std::max(1.0, std::abs(high) * 0.05);
  yAxis->setRange(low >= 0 ? std::max(0.0, low - margin) : low - margin, high + margin);
  yAxis->applyNiceNumbers();
  if (isPercentTitle(yTitle) && high <= 100 && yAxis->max() > 100) yAxis->setMax(100);  // no ratio is above 100%
  chart.setTitle(QString::fromStdString(data.note));
  if (!data.labels.empty()) {
    const double first = chartX(data, 0);
    const double last = chartX(data, data.labels.size() - 1);
    if (auto* times = qobject_cast<QDateTimeAxis*>(xAxis))
      times->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(first)),
                      QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(last)));
    else
      xAxis->setRange(first, last);
  }
}

}  // namespace tarvolin::ui
