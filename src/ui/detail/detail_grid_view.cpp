#include "ui/detail/detail_grid_view.h"

namespace tarvolin::ui {

DetailGridView::DetailGridView(core::GridStore& store, QWidget* parent) : platform::GridView(store, parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setTabKeyNavigation(false);  // Tab leaves the grid for the next control
  setContextMenuPolicy(Qt::NoContextMenu);
}

}  // namespace tarvolin::ui
