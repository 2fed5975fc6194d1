#pragma once

#include <QList>
#include <QObject>

#include "core/read/kinds_index.h"

class QAction;
class QActionGroup;
class QMenu;
class QTabBar;
class QWidget;

namespace tarvolin::ui {

/// The row of tabs (objectName `tabkinds`) under the main window's grid that names each
/// kind of report of a file holding several, with its rows ("Table Snapshot (4)"), as a
/// spreadsheet shows its sheets. Hidden for a file of one kind. The bar is a child of
/// `parent`; the window places it and loads the kind a click chooses. A View menu given to
/// attachMenu lists the same kinds (`menkind1`..., Ctrl+1 to Ctrl+9 for the first nine, the
/// one on show checked) after "Next Kind" (Ctrl+PgDown) and "Previous Kind" (Ctrl+PgUp), which
/// go round; choosing there is choosing the tab.
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
  /// Fills `menu` (which must outlive this object) with the kinds from now on.
  void attachMenu(QMenu& menu);

 signals:
  /// The user chose the tab of kind `kind` (an index into the kinds).
  void kindChosen(int kind);

 private:
  /// The tab `step` places from the current one, going round; emits as a click would.
  void step(int step);
  /// The menu's kinds as the tabs are now.
  void fillMenu();

  QTabBar* m_bar;
  bool m_filling = false;
  QMenu* m_menu = nullptr;
  QActionGroup* m_group = nullptr;
  QAction* m_next = nullptr;
  QAction* m_previous = nullptr;
  QList<QAction*> m_kinds;  ///< the menu's items, one per tab
};

}  // namespace tarvolin::ui
