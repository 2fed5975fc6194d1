#include "ui/main/grid_command_handler.h"

#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <stdexcept>
#include <string>

#include "core/row_filters.h"
#include "ui/detail/entry_detail_window.h"
#include "ui/main/form1.h"

namespace tarvolin::ui {

namespace {

/// Prompt of "As above but prompt for value".
const QString kLikePrompt = QStringLiteral("Enter value to look for");

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

/// The current cell's text, or empty when the current cell lies outside the grid.
QString currentText(const core::GridStore& grid) {
  try {
    return fromUtf8(core::currentCellText(grid));
  } catch (const std::out_of_range&) {
    return {};
  }
}

}  // namespace

GridCommandHandler::GridCommandHandler(Form1& window) : m_window(window) {}

void GridCommandHandler::click() {
  const core::GridStore& grid = m_window.grid();
  if (grid.rows() < 1 || grid.col() < 0 || grid.col() >= grid.cols()) return;
  m_window.showStatus(fromUtf8(grid.text(0, grid.col())));
}

void GridCommandHandler::mouseUp(Qt::MouseButton button, const QPoint& globalPos) {
  if (button != Qt::RightButton) return;
  m_window.grd()->setFocus(Qt::MouseFocusReason);
  m_window.popupMenu()->popup(globalPos);
}

void GridCommandHandler::sort(core::SortOrder order) {
  if (m_window.refuseWhileLoading()) return;
  try {
    core::sortSelection(m_window.grid(), order);
  } catch (const std::out_of_range&) {
    // A selection outside the grid sorts nothing; the grid keeps its order.
  }
}

void GridCommandHandler::showDetail() {
  const core::GridStore& grid = m_window.grid();
  showRowDetail(grid, grid.row(), m_window.platform(), &m_window);
}

void GridCommandHandler::showCellValue() {
  m_window.platform().dialogs.message(&m_window, currentText(m_window.grid()));
}

void GridCommandHandler::copyCellValue() {
  if (const std::optional<QString> error = m_window.platform().clipboard.setText(currentText(m_window.grid())))
    m_window.platform().dialogs.message(&m_window, *error);
}

void GridCommandHandler::makeColumnWider() {
  core::GridStore& grid = m_window.grid();
  if (grid.col() < 0 || grid.col() >= grid.cols()) return;
  core::makeColumnWider(grid);
}

void GridCommandHandler::copyCells() {
  core::CopiedCells copied;
  try {
    copied = core::copyCells(m_window.grid());
  } catch (const std::out_of_range&) {
    return;  // no cell to copy
  }
  if (const std::optional<QString> error = m_window.platform().clipboard.setText(fromUtf8(copied.text))) {
    m_window.platform().dialogs.message(&m_window, *error);
    return;
  }
  m_window.showStatus(QString::fromStdString(core::copiedStatusText(copied.cells)));
}

bool GridCommandHandler::lockFirstCol() { return core::lockFirstCol(m_window.shared(), m_window.grid()); }

void GridCommandHandler::printScreen() {
  try {
    m_window.platform().printer.print(m_window.grab().toImage());
  } catch (...) {
    // No printer, printing refused: nothing is said.
  }
}

void GridCommandHandler::excludeLikeThis() {
  if (m_window.refuseWhileLoading()) return;
  core::GridStore& grid = m_window.grid();
  try {
    const std::string value(core::currentCellText(grid));
    core::redo_grid(grid, grid.col(), value);
  } catch (const std::out_of_range&) {
    // No current cell inside the grid: nothing to exclude.
  }
}

void GridCommandHandler::showAllLines() {
  if (m_window.refuseWhileLoading()) return;
  core::redo_grid_showall(m_window.grid());
}

void GridCommandHandler::reloadLikeThis() {
  if (m_window.refuseWhileLoading()) return;
  try {
    core::menlike(m_window.loadState(), m_window.grid());
  } catch (const std::out_of_range&) {
    return;
  }
  m_window.do_refresh();
}

void GridCommandHandler::reloadLikePrompt() {
  if (m_window.refuseWhileLoading()) return;
  const QString answer = m_window.platform().dialogs.input(&m_window, kLikePrompt, QString());
  if (core::menlike2(m_window.loadState(), m_window.grid(), answer.toStdString())) m_window.do_refresh();
}

}  // namespace tarvolin::ui
