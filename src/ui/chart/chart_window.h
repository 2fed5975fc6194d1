#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "core/series/chart_data.h"
#include "core/series/snapshot_window.h"
#include "core/values/counter_types.h"
#include "platform/file_choosers.h"
#include "ui/result/result_window.h"

class QChart;
class QChartView;
class QComboBox;

namespace tarvolin::ui {

class CompareSettingsBar;

/// What a chart over time draws.
struct ChartRequest {
  std::string path;                                 ///< the report whose snapshots are drawn
  std::string configFolder;                         ///< the kinds' configuration files
  std::string variable;                             ///< the column drawn
  core::ValueType type = core::ValueType::Counter;  ///< Counter or Gauge (Unlisted for a derived column)
  std::string currentKey;                           ///< entryKeyText of the entry drawn first, or empty
  std::string kind;                                 ///< the heading of the kind drawn, of a file of several
  std::vector<std::string> later;                   ///< the files of later snapshots, read after `path`
};

/// What reading the files of a chart gave.
struct ChartRead {
  size_t files = 0;                ///< how many files, from the first, were read
  std::string error;               ///< why the file after those could not be read, or empty
  std::vector<std::string> notes;  ///< files without the kind (skipped), dates against the order
  std::vector<size_t> skipped;     ///< the files without the kind, by their index in the paths read
};

/// Reads the snapshots of `paths` into `series` afresh (those without a time numbered from
/// 1), every date in one order: `dates`, else as the timestamps of all the files read show.
/// A file without the kind is skipped; the files from one that can't be read on are not read.
/// Of the first file only the snapshots `window` holds are read (all when none is given).
ChartRead readChartSnapshots(const std::vector<std::string>& paths, const std::string& configFolder,
                             const std::string& kind, std::optional<core::DateOrder> dates, core::ChartSeries& series,
                             const core::SnapshotWindow& window = {});

/// Drops from `later`, the files read after the first, those `read` skipped or did not read.
void dropUnread(const ChartRead& read, std::vector<std::string>& later);

/// Puts later snapshot files (one a minute, say) in the order of their names, folders aside.
void sortByFileName(QStringList& paths);

/// The window `frmchart`: the chart `chtover` of one variable over the snapshots of a report
/// (the current entry's line, then those of the largest total change, 10 lines at most;
/// the legend names each by its key, an application by its handle and name, a long statement
/// by its first and last words, the whole key in a tool tip; hovering over a point shows its
/// time, entry and value; twelve colours, then dashes),
/// and beside it the same points in the grid `grdchart` (sortable and copyable as the other
/// result windows). `cmbmeasure` switches a counter between per second, change per interval
/// and value, a derived column between in interval and value; a gauge shows its value.
/// File > "Add Files..." draws the snapshots of later files too (in name order); "Save
/// Image..." writes the chart as a PNG. Dates (`cmbdateorder`, as in the comparison window)
/// sets how the dates of all the files read: the chart is drawn again from the files.
class ChartWindow final : public ResultWindow {
  Q_OBJECT

 public:
  /// Draws `series`, read from request.path (and maybe more files) with readChartSnapshots,
  /// of request.path the snapshots of `window` (the viewer's From/To) only, read so again.
  ChartWindow(ChartRequest request, core::ChartSeries series, platform::Platform& platform,
              platform::FileChoosers& choosers, QWidget* parent = nullptr, core::SnapshotWindow window = {});
  ~ChartWindow() override;

  /// Adds the snapshots of `paths`, taken in name order, after those drawn, and reads all the
  /// files again when the dates of the new ones show another order; a file that can't be read
  /// is told in a message box and the files after it are not read, as are files skipped for
  /// want of the kind and dates against the order.
  void addFiles(QStringList paths);
  /// Draws `measure`, or the series' first measure when it offers no such one (a gauge
  /// draws its value whatever is asked).
  void setMeasure(core::ChartMeasure measure);
  /// Writes the chart as a PNG under imageCaption(), so that the image tells what it shows;
  /// false when it can't be written.
  bool saveImage(const QString& path);
  /// The lines above a saved chart: the kind and what is drawn of the variable ("Table
  /// Snapshot: Rows Read per second"), then the time range and the files.
  [[nodiscard]] QStringList imageCaption() const;

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
  /// Reads the files of m_request again into the series, in the order Dates says, and draws
  /// them; those skipped or not read are told once and dropped.
  void readFiles();
  void saveImageChosen();
  [[nodiscard]] QString valueTitle() const;

  ChartRequest m_request;
  core::SnapshotWindow m_window;  ///< of m_request.path
  platform::FileChoosers& m_choosers;
  core::ChartSeries m_series;
  std::vector<core::ChartMeasure> m_measures;  // those the series offers, as the list shows them
  core::ChartMeasure m_measure;
  core::ChartData m_data;
  QChart* m_chart = nullptr;
  QChartView* m_view = nullptr;
  QComboBox* m_cmbmeasure = nullptr;
  CompareSettingsBar* m_dates = nullptr;
  QString m_hoverText;
  QString m_dialogPath;
};

}  // namespace tarvolin::ui
