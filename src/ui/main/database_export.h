#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/database/capture_load.h"
#include "platform/file_choosers.h"
#include "platform/platform.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tarvolin::ui {

/// File > Export to Database...: writes every kind of a report to a capture database
/// (core::CaptureLoader) on a thread of its own, while this window (objectName
/// `ExportToDatabase`) shows the progress in snapshots (`progress`), what it does
/// (`status`) and Stop (`stop`), which rolls the report back. When the export has ended,
/// `status` tells how, and the button, now Close, closes the window. Closing it earlier
/// stops the export and waits for its rollback.
class DatabaseExportDialog : public QDialog {
  Q_OBJECT

 public:
  /// Will export `report` to `database`, the kinds' configuration from `configFolder`, the
  /// counters from `types`, once started.
  DatabaseExportDialog(std::string report, std::string database, std::string configFolder, core::CounterTypes types,
                       QWidget* parent = nullptr);
  ~DatabaseExportDialog() override;

  /// Runs the export on its thread; once.
  void start();
  /// Until the export has ended and said so.
  [[nodiscard]] bool running() const { return m_running; }
  /// Asks the export to stop; it rolls the report back.
  void stop();

 signals:
  /// The export has ended: `stored` when the report is in the database.
  void exportEnded(bool stored, const QString& message);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void run(const std::string& report, const std::string& database, const std::string& configFolder,
           core::CounterTypes types);
  void progressed(int done, int total);
  void ended(bool stored, const QString& message);

  QProgressBar* m_bar = nullptr;
  QLabel* m_status = nullptr;
  QPushButton* m_button = nullptr;
  bool m_running = true;
  std::mutex m_mutex;                       // guards m_loader and m_stopAsked
  core::CaptureLoader* m_loader = nullptr;  // while the thread has one
  bool m_stopAsked = false;
  std::function<void()> m_job;  // until started
  std::thread m_thread;
};

/// Asks for a database with `choosers` (starting in the folder of `report`) and opens a
/// DatabaseExportDialog exporting `report` to it, started; nothing on Cancel. The counters list
/// from the program's folder; a failure to read it is said with `platform`'s dialogs.
DatabaseExportDialog* exportToDatabase(QWidget* owner, platform::Platform& platform, platform::FileChoosers& choosers,
                                       const std::string& configFolder, const QString& report);

}  // namespace tarvolin::ui
