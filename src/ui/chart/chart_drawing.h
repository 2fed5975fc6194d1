#pragma once

#include <QString>

#include "core/series/chart_data.h"

class QChart;

namespace tarvolin::ui {

/// The X value of snapshot `i` of `data`: its time (as the report prints it, shown as local
/// time) in milliseconds when every snapshot has one, else its number from 1.
[[nodiscard]] double chartX(const core::ChartData& data, size_t i);
/// Whether chartX gives times.
[[nodiscard]] bool chartHasTimes(const core::ChartData& data);

/// Replaces what `chart` shows with one line per line of `data` (named by its entry's key in
/// the legend, a point per value), an X axis `axtime` of snapshot times (or numbers) and a Y
/// axis `axvalue` titled `yTitle`.
void drawChart(QChart& chart, const core::ChartData& data, const QString& yTitle);

}  // namespace tarvolin::ui
