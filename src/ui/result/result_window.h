#pragma once

#include <QApplication>
#include <QMainWindow>
#include <exception>

#include "core/grid/grid_commands.h"
#include "core/grid/grid_store.h"
#include "platform/grid_view.h"
#include "platform/platform.h"

class QLabel;

namespace tarvolin::ui {

/// A window showing what a command found in reports: a grid over a store of its own, whose
/// hidden last column ties each row to what it came from (sorting keeps them together), a
/// status line, and an Edit menu (`menedit`) to copy cells as the main grid does (never the
/// hidden column), sort the selection, and show the current row's detail (also on a double
/// click or Return). A subclass fills store() and then calls showGrid().
class ResultWindow : public QMainWindow {
  Q_OBJECT

 public:
  /// objectNames of the window, its grid and its status line.
  struct Names {
    const char* window;
    const char* grid;
    const char* status;
  };
  ResultWindow(const Names& names, const QString& title, platform::Platform& platform, QWidget* parent = nullptr);

  [[nodiscard]] core::GridStore& store() { return m_store; }
  [[nodiscard]] const core::GridStore& store() const { return m_store; }

  /// The selection on the clipboard in the main grid's format; "N cells copied to the
  /// clipboard" in the status line, or a message box with the clipboard's failure. The
  /// hidden last column is left out.
  void copyCells();
  virtual void sort(core::SortOrder order);
  /// The detail of store row `row` (1 and up), modal.
  virtual void showDetailOf(int row) = 0;

 protected:
  /// Puts the grid over the store, filled by now, and `status` in the status line.
  void showGrid(const QString& status);
  [[nodiscard]] platform::Platform& platform() { return m_platform; }
  /// Replaces the status line's text, after showGrid().
  void setStatus(const QString& status);

 private:
  void showDetail();
  void buildMenus();

  const Names m_names;
  platform::Platform& m_platform;
  core::GridStore m_store;
  platform::GridView* m_grid = nullptr;
  QLabel* m_status = nullptr;
};

/// Runs `make` (returning a new window or nullptr) under the wait cursor and shows the window
/// as one of its own over `owner`; what `make` throws is told in a message box. Returns the
/// window, or nullptr.
template <typename Make>
auto openResultWindow(QWidget* owner, platform::Platform& platform, Make make) -> decltype(make()) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    auto* window = make();
    if (window != nullptr) {
      window->setWindowFlag(Qt::Window);
      window->show();
    }
    QApplication::restoreOverrideCursor();
    return window;
  } catch (const std::exception& e) {
    QApplication::restoreOverrideCursor();
    platform.dialogs.message(owner, QString::fromStdString(e.what()));
    return nullptr;
  }
}

}  // namespace tarvolin::ui
