#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/derived/column_plan.h"
#include "core/grid/grid_recorder.h"
#include "core/grid/grid_store.h"
#include "core/read/kinds_index.h"
#include "core/read/report_loader.h"
#include "core/read/shared_state.h"
#include "core/series/snapshot_window.h"
#include "platform/font_text_measure.h"
#include "platform/grid_view.h"
#include "platform/platform.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;

namespace tarvolin::ui {

class ColumnCommands;
class DerivedColumnsOption;
class FilterStatus;
class GridCommandHandler;
class KeptCell;
class KindCache;
class KindTabs;
class LoadWorker;
class ReportCaption;
class TimeWindowBar;
class WindowPlace;

/// The main window "Tarvolin - View DB2 Snapshot" (objectName `Form1`): the file box and
/// its buttons, the result grid `grd`, the status line and the menus. It owns the report on
/// show and the grid's store over it, the per-load state and the loader, which runs in a
/// LoadWorker: the rows read reach the store in batches on the window's thread, shown as
/// they come, while the rest of the report is the load's until it ends. The shared state
/// and the platform are injected and must outlive it. The commands on the grid's
/// cells live in a GridCommandHandler the window owns, wired straight to the menu items
/// and the grid; the web link is run by a WebLinkController. Find Column and Hide
/// Constant Columns live in a ColumnCommands.
///
/// While a load runs, the window answers as usual: the rows shown scroll, Stop, View File,
/// copying, the cell commands, the detail window, About, Help and Close work. The commands
/// that need the whole table or change it (Select File, the file box, Most Recent, Reload,
/// Customize, Lock First Col, sorting, the row filters, the column and report commands)
/// are disabled until it ends. A load asked for while one runs (a tab of the row of kinds,
/// a dropped or opened file) stops the running one, which keeps its rows, and runs when it
/// has ended. Closing during a load stops it and closes at once.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  /// `configFolder`: where the kinds' configuration files are read and written.
  MainWindow(core::SharedState& shared, platform::Platform& platform, std::string configFolder,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  /// The report on show (the load's while one runs).
  [[nodiscard]] const core::Report& report() const { return *m_report; }
  /// The loader, whose counters tell what the last load read and wrote.
  [[nodiscard]] const core::ReportLoader& loader() const { return m_loader; }

  /// Starts loading the file box's text into the grid; a load running stops first, and
  /// this one starts when it has ended. Errors of the load are shown when it ends.
  void loadCurrentFile();
  /// A report named on the command line or dropped on the window: made absolute and
  /// loaded as Select File loads a chosen file. False for an empty path.
  bool openReport(const QString& path);
  /// True from the start of a load until the window has shown its end.
  [[nodiscard]] bool loading() const;
  /// Stop: the running load ends with the rows read so far.
  void stopLoad();
  /// How the next loads read their file's bytes (core::ReadFunction), on the load's thread.
  void setReadFunction(core::ReadFunction read) { m_loader.setReadFunction(std::move(read)); }
  /// Selects the last row of kind `kind` (a heading) whose key is `key` (entryKeyText), the
  /// kind's tab switched to first (loading it when it is not kept); nothing when the file has
  /// no such kind or entry.
  void showEntry(const std::string& kind, const std::string& key);
  /// The From/To pair's window over the snapshots of the kind on show (none given while the
  /// pair is open, first to last): what the comparison, the chart, the statements, the lock
  /// waits and the summary read. Its ends are the snapshots' times, or "#N" for one without.
  [[nodiscard]] core::SnapshotWindow timeWindow() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void showStatus(const QString& text);
  /// Wait cursor, Stop and the commands that need the table, as a load begins or ends.
  void setLoadRunning(bool running);
  void setTableCommandsEnabled(bool enabled);
  /// A batch of the running load's rows, with its progress.
  void rowsRead(const core::GridBatch& batch, const QString& status);
  /// The running load has ended: its status and errors shown, the derived columns, filters,
  /// caption and kinds brought up to date, and a load asked for meanwhile started.
  void loadFinished(const QString& status, const QStringList& errors);
  // Controls, menus and layout (main_window_build.cpp).
  void buildControls();
  void buildMenus();
  /// Edit > "Find Column..." with F3, and Options > "Hide Constant Columns".
  void buildColumnMenus(QMenu* menedit, QMenu* menop);
  void sizeToDesign();
  [[nodiscard]] int px(int twips) const;
  void applyLayout();
  /// Adding a path to the file box (the list rule), then loadCurrentFile().
  void addPath(const QString& path);
  void selectFile();
  void mostRecent();
  void customise();
  /// "Compare With Earlier Snapshot...": the loaded report is the later one.
  void compareWithEarlier();
  /// "Compare From/To": the first and the last snapshot of the pair's window of the file on show.
  void compareWindowEnds();
  /// The pair lists `times`, the snapshot times of the report on show; the grid makes room for it.
  void showSnapshotTimes(std::vector<std::string> times);
  /// "Show Lock Waits" and "Show Deadlocks" are enabled for a loaded report of their kind only.
  void enableViewsOfKind(bool enabled);
  /// A tab of the row of kinds was chosen: that kind is loaded (once a running load stopped).
  void chooseKind(int kind);
  /// The row of kinds of `index`, `current` chosen (none for an index of no kinds), and the
  /// grid's height when the row appears or goes.
  void showKinds(const core::KindsIndex& index, int current);
  /// Before another kind of the file is shown: the kind on show goes to the kind cache.
  void putShownKindAway();
  /// Shows `kind` from the kind cache; false when it is not kept there or the file changed.
  bool showKeptKind(int kind);
  /// Loads the kind chosen of the file on show from its records alone (the file's index from its
  /// whole read), or whole when the file changed since.
  void loadKindFromIndex();
  /// After a load: a whole read's index is kept for the tab switches and the views, and
  /// the kinds kept of the file before go; a load from the index keeps them.
  void noteLoaded();
  /// After a whole read of another file: when it has the kind shown before (m_headingToKeep)
  /// and that is not the kind read, that kind is chosen (from the index) and true returned.
  bool followKindShownBefore();
  /// Selects m_entryToShow in the grid, once the kind on show is its kind.
  void selectEntryToShow();
  /// The kind on show, for the commands that read the report again (compare, lock views).
  [[nodiscard]] core::KindChoice kindOnShow() const;
  /// Options > "Derived Columns" switched for the loaded kind: remembered, and the report reloaded.
  void switchDerivedColumns(bool on);
  /// A button released over the grid: the right one opens the pop-up menu at `globalPos`.
  void gridMouseUp(Qt::MouseButton button, const QPoint& globalPos);

  core::SharedState& m_shared;
  platform::Platform& m_platform;
  core::GridStore m_store;
  /// The report m_store shows, the same object all the window's life (a kind shown again
  /// is moved into it); filled by m_loader.
  std::shared_ptr<core::Report> m_report = m_store.sharedReport();
  core::LoadState m_load;
  std::unique_ptr<platform::FontTextMeasure> m_measure;
  std::unique_ptr<LoadWorker> m_worker;
  core::ReportLoader m_loader;
  platform::Dpi m_dpi;
  std::unique_ptr<GridCommandHandler> m_commands;
  std::unique_ptr<ColumnCommands> m_columns;
  std::unique_ptr<ReportCaption> m_caption;
  std::unique_ptr<WindowPlace> m_place;
  FilterStatus* m_filters = nullptr;  ///< owned by the status bar

  platform::GridView* m_grd = nullptr;
  QLabel* m_lbltype = nullptr;
  QLabel* m_lbltime = nullptr;
  QGroupBox* m_frame1 = nullptr;
  QComboBox* m_cmbfile = nullptr;
  QPushButton* m_selectFile = nullptr;
  QPushButton* m_mostRecent = nullptr;
  QPushButton* m_comref = nullptr;
  QPushButton* m_comview = nullptr;
  QPushButton* m_comstop = nullptr;
  QStatusBar* m_statmsg = nullptr;
  QLabel* m_statusText = nullptr;
  QMenu* m_tableMenu = nullptr;
  QList<QAction*> m_tableActions;  ///< disabled while a load runs
  QAction* m_menlockwaits = nullptr;
  QAction* m_mendeadlocks = nullptr;
  KindTabs* m_kindTabs = nullptr;
  TimeWindowBar* m_timeBar = nullptr;  ///< From/To, right above the grid
  std::unique_ptr<KindCache> m_kindCache;
  std::shared_ptr<const core::KindsIndex> m_fileIndex;  ///< of the file on show's last whole read, or null
  bool m_shownWhole = false;                            ///< its load read all of it (not stopped, no error)
  int m_kind = 0;  ///< the kind on show of a file of several, an index into its kinds
  std::optional<std::pair<std::string, std::string>> m_entryToShow;  ///< showEntry's kind and key, till it shows
  QString
      m_loadedPath;  ///< the report on screen (the file box's text at the last load); another file shows its first kind
  std::string m_headingToKeep;             ///< the kind on show before another file's load, to show of it
  std::unique_ptr<KeptCell> m_cellToKeep;  ///< the current cell before a reload for the derived columns
  std::unique_ptr<DerivedColumnsOption> m_derived;
  QAction* m_menderived = nullptr;
  QAction* m_menshapes = nullptr;

  QString m_dialogPath;  ///< the file dialog's last path
  bool m_waitCursor = false;
  bool m_loadWhenStopped = false;                     ///< a load was asked for while one ran
  bool m_loadFromIndex = false;                       ///< the next load reads the kind's records of m_fileIndex
  std::optional<core::ColumnFilter> m_derivedFilter;  ///< a filter on a derived column, for the load's end
  QPointer<QWidget> m_focusBeforeLoad;                ///< Enter in the file box, Reload: focus kept there
};

}  // namespace tarvolin::ui
