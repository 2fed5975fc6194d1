#include "platform/grid_copy.h"

#include "core/grid/grid_commands.h"

namespace tarvolin::platform {

std::optional<QString> copyCells(const core::GridStore& grid, Platform& platform, QWidget* owner, int columns) {
  const core::CopiedCells copied = core::copyCells(grid, columns);
  if (copied.cells == 0) return std::nullopt;
  const QString text = QString::fromUtf8(copied.text.data(), static_cast<qsizetype>(copied.text.size()));
  if (const std::optional<QString> failure = platform.clipboard.setText(text)) {
    platform.dialogs.message(owner, *failure);
    return std::nullopt;
  }
  return QString::fromStdString(core::copiedStatusText(copied.cells));
}

}  // namespace tarvolin::platform
