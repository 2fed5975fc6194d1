#pragma once

#include <QMainWindow>
#include <chrono>
#include <memory>
#include <string>

#include "core/grid_store.h"
#include "core/load_observer.h"
#include "core/report_parser.h"
#include "core/shared_state.h"
#include "platform/font_text_measure.h"
#include "platform/grid_view.h"
#include "platform/platform.h"
#include "ui/main/file_rules.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;

namespace tarvolin::ui {

class GridCommandHandler;

/// File filter of Select File.
inline const QString kReportFilter = QStringLiteral("Text (*.txt)|*.txt| All (*.*)|*.*");
/// Status text when a load is asked for while one runs.
inline const QString kBusyMessage = QStringLiteral("A file is being loaded: press Stop before loading another");

/// The main window "Tarvolin - View DB2 Snapshot": the file box and its buttons, the
/// result grid `grd`, the status line and the menus. It owns the grid's store, the
/// per-load state and the loader, and shows the loader's progress (it is the load's
/// observer). The shared state and the platform are injected and must outlive it.
/// The commands on the grid's cells live in a GridCommandHandler the window owns; the
/// web link Label2 is run by a WebLinkController.
///
/// Guard: while a load runs, the commands that change the table (Select File, the file
/// box, Most Recent, Reload, Customize, sorting and the row filters) are disabled, and
/// do_refresh()/addPath()/openReport() and those commands' handlers refuse with a status
/// message; Stop, View File, copying, the cell commands, the detail window, About, Help
/// and Close stay available. Closing during a load stops it and closes the
/// window when the load has finished.
class Form1 : public QMainWindow, public core::LoadObserver {
  Q_OBJECT

 public:
  Form1(core::SharedState& shared, platform::Platform& platform, QWidget* parent = nullptr);
  ~Form1() override;

  [[nodiscard]] core::SharedState& shared() { return m_shared; }
  [[nodiscard]] platform::Platform& platform() { return m_platform; }
  [[nodiscard]] core::LoadState& loadState() { return m_load; }
  /// The grid's store: the one copy of the loaded report.
  [[nodiscard]] core::GridStore& grid() { return m_store; }
  [[nodiscard]] platform::GridView* grd() const { return m_grd; }
  [[nodiscard]] QComboBox* fileBox() const { return m_cmbfile; }
  /// The grid's pop-up menu (never in the menu bar).
  [[nodiscard]] QMenu* popupMenu() const { return m_mensortt; }
  [[nodiscard]] const core::ReportLoader& loader() const { return m_loader; }
  [[nodiscard]] bool loading() const { return m_loader.loading(); }
  /// Text of the status line.
  [[nodiscard]] QString statusText() const;
  /// Sets the status line at once.
  void showStatus(const QString& text);

  /// Loads the file box's text into the grid. Returns false, with a status message,
  /// when refused because a load runs. Errors of the load are shown by the load itself.
  bool do_refresh();
  /// Adding a path to the file box (the list rule), then do_refresh(). Refused like it.
  bool addPath(const QString& path);
  /// A report named on the command line or dropped on the window: made absolute and
  /// loaded as Select File loads a chosen file.
  bool openReport(const QString& path);
  /// True, with the busy status message, while a load runs: the table-changing
  /// commands then do nothing.
  bool refuseWhileLoading();

  /// Least time between two yields to pending events during a load (default 10 ms);
  /// 0 yields at every check (every few hundred lines).
  void setYieldInterval(std::chrono::microseconds interval) { m_yieldInterval = interval; }

  // core::LoadObserver
  void setStatus(const std::string& text) override;
  void setFileTime(std::chrono::system_clock::time_point modified) override;
  void setKind(const std::string& kind) override;
  void setStopEnabled(bool enabled) override;
  void setWaitCursor(bool wait) override;
  void yieldEvents() override;
  void showError(const std::string& message) override;

 public slots:
  void on_Command2();
  void on_cmbfile(int index);
  void on_comrec();
  void on_comref();
  void on_comview();
  void on_comstop();
  void on_menclose();

  // Commands of the other windows and the commands on the grid's cells.
  void on_mencopy();
  void on_mencfg();
  void on_menprint();
  void on_menlock();
  void on_menh();
  void on_menabout();
  void on_mensort(int index);
  void on_mendetail();
  void on_menshowcell();
  void on_mencopycell();
  void on_mencolwider();
  void on_menexcl();
  void on_menexclnone();
  void on_menlike();
  void on_menlike2();
  void on_grd_click();
  void on_grd_dblclick();
  void on_grd_mouseup(Qt::MouseButton button, const QPoint& globalPos);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildControls();
  void buildMenus();
  void sizeToDesign();
  QAction* addItem(QMenu* menu, const char* name, const QString& caption);
  [[nodiscard]] int px(int twips) const;
  void applyLayout();
  void setTableCommandsEnabled(bool enabled);
  void flushStatus();

  core::SharedState& m_shared;
  platform::Platform& m_platform;
  core::GridStore m_store;
  core::LoadState m_load;
  std::unique_ptr<platform::FontTextMeasure> m_measure;
  core::ReportLoader m_loader;
  platform::Dpi m_dpi;

  platform::GridView* m_grd = nullptr;
  QLabel* m_lbltype = nullptr;
  QLabel* m_lbltime = nullptr;
  QGroupBox* m_frame1 = nullptr;
  QComboBox* m_cmbfile = nullptr;
  QPushButton* m_command2 = nullptr;
  QPushButton* m_comrec = nullptr;
  QPushButton* m_comref = nullptr;
  QPushButton* m_comview = nullptr;
  QPushButton* m_comstop = nullptr;
  QLabel* m_label1 = nullptr;
  QLabel* m_label2 = nullptr;
  QStatusBar* m_statmsg = nullptr;
  QLabel* m_statusText = nullptr;
  QMenu* m_mensortt = nullptr;
  QAction* m_menlock = nullptr;
  std::unique_ptr<GridCommandHandler> m_commands;
  QList<QAction*> m_tableActions;  ///< disabled while a load runs

  QString m_dialogPath;  ///< the file dialog's last path
  std::string m_pendingStatus;
  bool m_statusPending = false;
  bool m_waitCursor = false;
  bool m_closeWhenLoaded = false;
  std::chrono::microseconds m_yieldInterval{10000};
  std::chrono::steady_clock::time_point m_lastYield;
  unsigned m_linesSinceCheck = 0;
};

}  // namespace tarvolin::ui
