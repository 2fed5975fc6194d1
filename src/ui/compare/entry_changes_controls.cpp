#include "ui/compare/entry_changes_controls.h"

#include <QCheckBox>
#include <QEvent>
#include <algorithm>
#include <vector>

#include "core/compare/entry_changes.h"
#include "core/grid/grid_commands.h"
#include "platform/grid_view.h"
#include "platform/twips.h"

namespace tarvolin::ui {

namespace {

/// Spreads the columns after the first over the view's width at each resize: each gets what
/// its texts need and an equal share of the room left.
class ColumnSpreader final : public QObject {
 public:
  explicit ColumnSpreader(platform::GridView* view) : QObject(view), m_view(view) {
    const core::GridStore& store = view->store();
    // A long value (a path) gets no more than its share: its cell's tool tip shows it whole.
    for (int c = 0; c < store.cols(); ++c)
      m_least.push_back(c == 0 ? store.colWidth(c) : std::min(store.colWidth(c), kMostLeast));
    view->viewport()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize && watched == m_view->viewport()) spread();
    return false;
  }

 private:
  void spread() {
    core::GridStore& store = m_view->store();
    const int cols =
        std::min({store.cols(), static_cast<int>(m_least.size()), static_cast<int>(core::kEntryChangeHeads.size())});
    if (cols < 2) return;
    int least = 0;
    for (int c = 0; c < cols; ++c) least += m_least[static_cast<size_t>(c)];
    // A few pixels short of the edge, so that rounding never calls for a scroll bar.
    const int room = platform::pixelsToTwips(m_view->viewport()->width() - kMarginPx, m_view->logicalDpiX());
    const int more = std::max(0, room - least) / (cols - 1);
    for (int c = 1; c < cols; ++c) {
      const int width = m_least[static_cast<size_t>(c)] + more;
      if (store.colWidth(c) != width) store.setColWidth(c, width);
    }
  }

  static constexpr int kMarginPx = 4;
  static constexpr int kMostLeast = 2400;  // twips a value column needs at most before the room is shared
  platform::GridView* m_view;
  std::vector<int> m_least;  // by column: the width its texts need
};

}  // namespace

void spreadChangeColumns(platform::GridView* view) { new ColumnSpreader(view); }

QCheckBox* hideUnchangedBox(core::GridStore& store, QWidget* parent) {
  auto* box = new QCheckBox(QStringLiteral("Hide Unchanged"), parent);
  box->setObjectName(QStringLiteral("chkunchanged"));
  QObject::connect(box, &QCheckBox::toggled, box, [&store](bool on) { core::hideUnchanged(store, 1, on); });
  return box;
}

void sortByChange(core::GridStore& store) {
  if (store.rows() > 2) core::sortRows(store, core::CellRange{1, store.rows() - 1, 3, 3}, core::SortOrder::Descending);
}

}  // namespace tarvolin::ui
