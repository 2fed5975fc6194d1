#pragma once

#include <QString>
#include <climits>
#include <optional>

#include "core/grid/grid_store.h"
#include "platform/platform.h"

class QWidget;

namespace tarvolin::platform {

/// "Copy Cells" of every window over a grid: core::copyCells of `grid`'s selection in its
/// first `columns` columns, put on the clipboard. Returns the status text ("N cells copied
/// to the clipboard") for the caller's status line; nothing when there was no cell to copy,
/// or when the clipboard refused, which is then shown in a message box over `owner`.
std::optional<QString> copyCells(const core::GridStore& grid, Platform& platform, QWidget* owner,
                                 int columns = INT_MAX);

}  // namespace tarvolin::platform
