#pragma once

#include "platform/grid_view.h"

namespace tarvolin::ui {

/// The entry detail grid: a platform::GridView of one cell at a time, which Tab leaves
/// for the next control. As in every GridView, only the left mouse button and the
/// keyboard move its current cell; a right release is reported by mouseReleased, so
/// the pop-up opened on it acts on the cell that was current before. The store must
/// outlive the view.
class DetailGridView final : public platform::GridView {
  Q_OBJECT

 public:
  explicit DetailGridView(core::GridStore& store, QWidget* parent = nullptr);
};

}  // namespace tarvolin::ui
