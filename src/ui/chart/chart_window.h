#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "core/compare/counter_types.h"
#include "core/series/chart_data.h"
#include "platform/file_choosers.h"
#include "ui/result/result_window.h"

class QChart;
class QChartView;
class QComboBox;

namespace tarvolin::ui {

/// What a chart over time draws.
struct ChartRequest {
  std::string path;                                 ///< the report whose snapshots are drawn
  std::string configFolder;                         ///< the kinds' configuration files
  std::string variable;                             ///< the column drawn
  core::ValueType type = core::ValueType::Counter;  ///< Counter or Gauge (Unlisted for a derived column)
  std::string currentKey;                           ///< entryKeyText of the entry drawn first, or empty
  std::string kind;                                 ///< the heading of the kind drawn, of a file of several
};

/// Adds the snapshots of `path` to `series` (those without a time numbered after the ones it
/// has). Throws ReadError and SeriesError.
void readChartSnapshots(const std::string& path, const std::string& configFolder, const std::string& kind,
                        core::ChartSeries& series);

/// Puts later snapshot files (one a minute, say) in the order of their names, folders aside.
void sortByFileName(QStringList& paths);

/// The window `frmchart`: the chart `chtover` of one variable over the snapshots of a report
/// (the current entry's line, then those of the largest total change, 10 lines at most;
/// the legend names each by its key; hovering over a point shows its time, entry and value),
/// and beside it the same points in the grid `grdchart` (sortable and copyable as the other
/// result windows). `cmbmeasure` switches a counter between per second, change per interval
/// and value, a derived column between in interval and value; a gauge shows its value.
/// File > "Add Files..." draws the snapshots of later files too (in name order); "Save
/// Image..." writes the chart as a PNG.
class ChartWindow final : public ResultWindow {
  Q_OBJECT

 public:
  /// Draws `series`, read from request.path (and maybe more files) with readChartSnapshots.
  ChartWindow(ChartRequest request, core::ChartSeries series, platform::Platform& platform,
              platform::FileChoosers& choosers, QWidget* parent = nullptr);
  ~ChartWindow() override;

  /// Adds the snapshots of `paths`, taken in name order, after those drawn; a file that can't
  /// be read is told in a message box and the files after it are not read.
  void addFiles(QStringList paths);
  /// Draws `measure`, or the series' first measure when it offers no such one (a gauge
  /// draws its value whatever is asked).
  void setMeasure(core::ChartMeasure measure);
  /// Writes the chart as a PNG; false when it can't be written.
  bool saveImage(const QString& path);

  [[nodiscard]] const core::ChartData& data() const { return m_data; }
  [[nodiscard]] QChart& chart() { return *m_chart; }
  /// What hovering over point `snapshot` of line `line` shows: "TIME  ENTRY  VALUE".
  [[nodiscard]] QString pointText(size_t line, size_t snapshot) const;
  /// The text of the last hover.
  [[nodiscard]] const QString& hoverText() const { return m_hoverText; }

  /// Shows the row's point as a hover shows it, in a message box.
  void showDetailOf(int row) override;

 private:
  void buildControls();
  void redraw();
  void redrawTable();
  void addFilesChosen();
  void saveImageChosen();
  [[nodiscard]] QString valueTitle() const;

  ChartRequest m_request;
  platform::FileChoosers& m_choosers;
  core::ChartSeries m_series;
  std::vector<core::ChartMeasure> m_measures;  // those the series offers, as the list shows them
  core::ChartMeasure m_measure;
  core::ChartData m_data;
  QChart* m_chart = nullptr;
  QChartView* m_view = nullptr;
  QComboBox* m_cmbmeasure = nullptr;
  QString m_hoverText;
  QString m_dialogPath;
};

}  // namespace tarvolin::ui
