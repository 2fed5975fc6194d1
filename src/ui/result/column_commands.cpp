#include "ui/result/column_commands.h"

#include <utility>

#include "core/grid/find_column.h"

namespace tarvolin::ui {

namespace {

/// Prompt of "Find Column...".
const QString kFindPrompt = QStringLiteral("Part of the column's name to look for");

/// The shown column nearest `col`, to its right first; `col` when none is shown.
int nearestShown(const core::GridStore& g, int col) {
  for (int c = col; c < g.cols(); ++c)
    if (g.colWidth(c) > 0) return c;
  for (int c = col - 1; c >= 0; --c)
    if (g.colWidth(c) > 0) return c;
  return col;
}

}  // namespace

ColumnCommands::ColumnCommands(core::GridStore& grid, platform::Dialogs& dialogs, Host host)
    : m_grid(grid), m_dialogs(dialogs), m_host(std::move(host)) {}

void ColumnCommands::findColumn() {
  const QString answer = m_dialogs.input(&m_host.owner, kFindPrompt, QString::fromStdString(m_part));
  if (answer.isEmpty()) return;
  m_part = answer.toStdString();
  goToMatch();
}

void ColumnCommands::findNext() {
  if (m_part.empty()) {
    findColumn();
    return;
  }
  goToMatch();
}

void ColumnCommands::goToMatch() {
  const core::ColumnMatch match = core::findColumn(m_grid, m_grid.col(), m_part);
  if (match.col >= 0) {
    // The header row has no cell on screen: from there the match opens on the first entry.
    const int row = m_grid.row() < 1 && m_grid.rows() > 1 ? 1 : m_grid.row();
    m_grid.setSelection(row, match.col, row, match.col);
    if (m_host.view != nullptr) m_host.view->revealColumn(match.col);
  }
  const bool asConstant = match.hidden >= 0 && m_hidden.holds(match.hidden);
  m_host.showStatus(QString::fromStdString(core::findColumnStatusText(m_grid, match, m_part, asConstant)));
}

void ColumnCommands::setHideConstant(bool on) {
  if (on == m_hideConstant) return;
  m_hideConstant = on;
  if (m_host.view == nullptr) {
    switchConstant(on);
    return;
  }
  const platform::GridView::Place place = m_host.view->place();
  switchConstant(on);
  if (m_grid.col() >= 0 && m_grid.col() < m_grid.cols() && m_grid.colWidth(m_grid.col()) == 0) {
    const int col = nearestShown(m_grid, m_grid.col());
    m_grid.setSelection(m_grid.row(), col, m_grid.row(), col);
  }
  m_host.view->restorePlace(place);
}

void ColumnCommands::switchConstant(bool on) {
  if (on) {
    m_hidden = core::hideConstantColumns(m_grid);
    m_host.showStatus(QString::fromStdString(core::constantColumnsStatusText(m_hidden.count())));
    return;
  }
  core::showHiddenColumns(m_grid, m_hidden);
  m_host.showStatus(QStringLiteral("%1 constant columns shown again").arg(m_hidden.count()));
  m_hidden = {};
}

std::string ColumnCommands::loaded() {
  m_hidden = {};
  if (!m_hideConstant) return {};
  m_hidden = core::hideConstantColumns(m_grid);
  return core::constantColumnsStatusText(m_hidden.count());
}

std::optional<core::HiddenColumns> ColumnCommands::putAway() {
  if (!m_hideConstant) return std::nullopt;
  return std::exchange(m_hidden, {});
}

void ColumnCommands::shownAgain(std::optional<core::HiddenColumns> hidden) {
  m_hidden = {};
  if (m_hideConstant)
    m_hidden = hidden ? std::move(*hidden) : core::hideConstantColumns(m_grid);
  else if (hidden)
    core::showHiddenColumns(m_grid, *hidden);
}

}  // namespace tarvolin::ui
