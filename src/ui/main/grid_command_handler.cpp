#include "ui/main/grid_command_handler.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <stdexcept>
#include <string>
#include <utility>

#include "core/grid/row_filters.h"
#include "platform/grid_copy.h"
#include "ui/detail/entry_detail_window.h"
#include "ui/main/filter_status.h"

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

GridCommandHandler::GridCommandHandler(core::GridStore& grid, core::SharedState& shared, core::LoadState& load,
                                       platform::Platform& platform, Host host)
    : m_grid(grid), m_shared(shared), m_load(load), m_platform(platform), m_host(std::move(host)) {}

void GridCommandHandler::click() {
  if (m_grid.rows() < 1 || m_grid.col() < 0 || m_grid.col() >= m_grid.cols()) return;
  m_host.showStatus(fromUtf8(m_grid.text(0, m_grid.col())));
}

void GridCommandHandler::sort(core::SortOrder order) {
  try {
    core::sortSelection(m_grid, order);
  } catch (const std::out_of_range&) {
    // A selection outside the grid sorts nothing; the grid keeps its order.
  }
}

void GridCommandHandler::showDetail() {
  // The header row has no entry of its own: from there the detail opens on the first one.
  const int row = m_grid.row() == 0 && m_grid.rows() > 1 ? 1 : m_grid.row();
  showRowDetail(m_grid, row, m_platform, &m_host.owner);
}

void GridCommandHandler::showCellValue() { m_platform.dialogs.message(&m_host.owner, currentText(m_grid)); }

void GridCommandHandler::copyCellValue() {
  if (const std::optional<QString> error = m_platform.clipboard.setText(currentText(m_grid)))
    m_platform.dialogs.message(&m_host.owner, *error);
}

void GridCommandHandler::makeColumnWider() {
  if (m_grid.col() < 0 || m_grid.col() >= m_grid.cols()) return;
  core::makeColumnWider(m_grid);
}

void GridCommandHandler::copyCells() {
  if (const std::optional<QString> status = platform::copyCells(m_grid, m_platform, &m_host.owner))
    m_host.showStatus(*status);
}

bool GridCommandHandler::lockFirstCol() { return core::lockFirstCol(m_shared, m_grid); }

void GridCommandHandler::printScreen() {
  try {
    m_platform.printer.print(m_host.owner.grab().toImage());
  } catch (...) {
    // No printer, printing refused: nothing is said.
  }
}

void GridCommandHandler::excludeLikeThis() {
  try {
    const std::string value(core::currentCellText(m_grid));
    core::hideRowsLike(m_grid, m_grid.col(), value);
    if (m_filters != nullptr) m_filters->excluded(std::string(m_grid.text(0, m_grid.col())), value);
  } catch (const std::out_of_range&) {
    // No current cell inside the grid: nothing to exclude.
  }
}

void GridCommandHandler::showAllLines() {
  if (m_filters != nullptr && m_filters->loadFiltered()) {
    m_host.reload();  // the rows the filter left out are read again
    return;
  }
  core::showAllRows(m_grid);
  if (m_filters != nullptr) m_filters->shownAll();
}

void GridCommandHandler::reloadLikeThis() {
  try {
    core::filterOnCurrentCell(m_load, m_grid);
  } catch (const std::out_of_range&) {
    return;
  }
  m_host.reload();
}

void GridCommandHandler::reloadLikePrompt() {
  const QString answer = m_platform.dialogs.input(&m_host.owner, kLikePrompt, QString());
  if (core::filterOnAnswer(m_load, m_grid, answer.toStdString())) m_host.reload();
}

}  // namespace tarvolin::ui
