#pragma once

#include "core/grid/grid_store.h"

class QCheckBox;
class QWidget;

namespace tarvolin::platform {
class GridView;
}

namespace tarvolin::ui {

/// Keeps the columns of `view`, a grid of entry changes (Variable, Earlier, Later, Change,
/// Rate per s), as wide as the view: each as wide as its texts need, and the columns after
/// Variable sharing the room left equally. Follows the view's resizes.
void spreadChangeColumns(platform::GridView* view);

/// The check box "Hide Unchanged" (`chkunchanged`) over a grid of entry changes: checked, it
/// hides the rows whose earlier and later values are the same.
[[nodiscard]] QCheckBox* hideUnchangedBox(core::GridStore& store, QWidget* parent);

/// "Sort by Change": the rows of a grid of entry changes by their change, largest first.
void sortByChange(core::GridStore& store);

}  // namespace tarvolin::ui
