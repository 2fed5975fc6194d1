#pragma once

#include <QObject>

#include "core/read/kinds_index.h"

class QTabBar;
class QWidget;

namespace tarvolin::ui {

/// The row of tabs (objectName `tabkinds`) under the main window's grid that names each
/// kind of report of a file holding several, with its rows ("Table Snapshot (4)"), as a
/// spreadsheet shows its sheets. Hidden for a file of one kind. The bar is a child of
/// `parent`; the window places it and loads the kind a click chooses.
class KindTabs : public QObject {
  Q_OBJECT

 public:
  explicit KindTabs(QWidget* parent);

  /// One tab per kind of `index`, the tab of kind `current` (an index into its kinds)
  /// selected; the row is hidden when the file holds fewer than two kinds. Emits nothing.
  void showKinds(const core::KindsIndex& index, int current);
  /// Height of the row in pixels, 0 while hidden.
  [[nodiscard]] int shownHeight() const;
  /// Puts the row right under `grid`, as wide as it.
  void placeUnder(const QWidget& grid);
  /// Selects tab `kind` again without emitting (a refused switch).
  void select(int kind);

 signals:
  /// The user chose the tab of kind `kind` (an index into the kinds).
  void kindChosen(int kind);

 private:
  QTabBar* m_bar;
  bool m_filling = false;
};

}  // namespace tarvolin::ui
