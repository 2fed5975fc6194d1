#pragma once

#include <QMainWindow>
#include <QString>
#include <vector>

#include "core/series/capture_summary.h"

class QChartView;
class QTableWidget;

namespace tarvolin::ui {

/// The window `frmsummary`: a capture's summary on one page. A small chart per figure shown
/// (`chtfigure`, its values by interval, the intervals that break its rule as red points,
/// its value over the window in the title), then a table per top list (`grdtop`), then the
/// figures farthest from their median and what is left out (`lblsummarynotes`). A click on
/// a chart asks for it over time (figureChosen); a click on a row of a top list asks for
/// that entry in the main grid (entryChosen).
class SummaryWindow final : public QMainWindow {
  Q_OBJECT

 public:
  SummaryWindow(core::CaptureSummary summary, const QString& title, QWidget* parent = nullptr);

  [[nodiscard]] const core::CaptureSummary& summary() const { return m_summary; }
  /// The figures' charts, in the order of the shown figures.
  [[nodiscard]] const std::vector<QChartView*>& charts() const { return m_charts; }
  /// The top lists' tables, in the order of summary().tops.
  [[nodiscard]] const std::vector<QTableWidget*>& tops() const { return m_tops; }

 signals:
  /// Figure `figure` (an index into summary().figures) was clicked.
  void figureChosen(int figure);
  /// A row of a top list was clicked: its entry, of kind `kind` (a heading), keyed `key` (entryKeyText).
  void entryChosen(const QString& kind, const QString& key);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QChartView* chartOf(int figure);
  QTableWidget* tableOf(int list);
  [[nodiscard]] QString notesText() const;

  core::CaptureSummary m_summary;
  std::vector<QChartView*> m_charts;
  std::vector<int> m_chartFigures;  // by chart: its figure
  std::vector<QTableWidget*> m_tops;
};

}  // namespace tarvolin::ui
