#include "ui/main/grid_keys.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMetaObject>

#include "platform/grid_view.h"
#include "ui/main/grid_command_handler.h"

namespace tarvolin::ui {

GridKeys::GridKeys(platform::GridView& grid, QMenu& popup, GridCommandHandler& commands, QWidget& window,
                   QComboBox& box, std::function<void()> reload)
    : QObject(&grid), m_grid(grid), m_popup(popup), m_commands(commands), m_reload(new QAction(this)) {
  m_grid.setTabKeyNavigation(false);  // Tab leaves the grid; Ctrl+Tab moves between cells
  m_grid.installEventFilter(this);
  QAction* f5 = m_reload;
  f5->setObjectName(QStringLiteral("menreload"));
  f5->setShortcut(QKeySequence(Qt::Key_F5));
  f5->setShortcutContext(Qt::WindowShortcut);
  window.addAction(f5);
  connect(f5, &QAction::triggered, this, reload);
  if (QLineEdit* edit = box.lineEdit()) connect(edit, &QLineEdit::returnPressed, this, reload);
  connect(m_grid.selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
    if (m_keyMove) m_commands.click();
  });
}

bool GridKeys::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &m_grid || event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
  if (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && mods == Qt::ShiftModifier)) {
    openPopup();
    return true;
  }
  if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && mods == Qt::NoModifier) {
    m_commands.showDetail();
    return true;
  }
  if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && (mods & Qt::ControlModifier)) {
    m_keyMove = true;
    moveAlong(key->key() == Qt::Key_Backtab || (mods & Qt::ShiftModifier) ? -1 : 1);
    m_keyMove = false;
    return true;
  }
  // Whatever the grid does with the key, a move of the current cell names its column.
  m_keyMove = true;
  QMetaObject::invokeMethod(
      this, [this] { m_keyMove = false; }, Qt::QueuedConnection);
  return false;
}

void GridKeys::openPopup() {
  const QModelIndex current = m_grid.currentIndex();
  QRect cell = current.isValid() ? m_grid.visualRect(current) : QRect();
  if (!cell.isValid() || !m_grid.viewport()->rect().intersects(cell)) cell = QRect(QPoint(0, 0), QSize(1, 1));
  m_popup.popup(m_grid.viewport()->mapToGlobal(cell.bottomLeft()));
}

void GridKeys::moveAlong(int step) {
  const QAbstractItemModel* model = m_grid.model();
  const QModelIndex current = m_grid.currentIndex();
  if (model->rowCount() == 0 || model->columnCount() == 0) return;
  int row = current.isValid() ? current.row() : 0;
  int col = current.isValid() ? current.column() : -step;
  do {
    col += step;
    if (col >= model->columnCount()) {
      col = 0;
      ++row;
    } else if (col < 0) {
      col = model->columnCount() - 1;
      --row;
    }
    if (row < 0 || row >= model->rowCount()) return;
  } while (m_grid.isColumnHidden(col));
  m_grid.setCurrentIndex(model->index(row, col));
}

}  // namespace tarvolin::ui
