#pragma once

#include <QPen>
#include <QString>

#include "core/series/chart_data.h"

class QChart;

namespace tarvolin::ui {

/// The X value of snapshot `i` of `data`: its time (as the report prints it, shown as local
/// time) in milliseconds when every snapshot has one, else its number from 1.
[[nodiscard]] double chartX(const core::ChartData& data, size_t i);
/// Whether chartX gives times.
[[nodiscard]] bool chartHasTimes(const core::ChartData& data);

/// The pen of line `i`: twelve colours, then the same with dashes, then dots...
[[nodiscard]] QPen linePen(size_t i);
/// Whether a Y axis titled `title` shows a percentage (a hit ratio): it then ends at 100.
[[nodiscard]] bool isPercentTitle(const QString& title);

/// Replaces what `chart` shows with one line per line of `data` (named by its label in the
/// legend, a point per value, each in its linePen), an X axis `axtime` of snapshot times (or
/// numbers) and a Y axis `axvalue` titled `yTitle`, no higher than 100 for a percentage. The
/// chart's title is the data's note: why it shows other than was asked.
void drawChart(QChart& chart, const core::ChartData& data, const QString& yTitle);

}  // namespace tarvolin::ui
