#include "ui/main/window_place.h"

#include <QHeaderView>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QWidget>
#include <algorithm>

#include "platform/user_settings.h"

namespace tarvolin::ui {

namespace {

const QString kGeometryKey = QStringLiteral("MainWindow/geometry");

QSettings settings() { return platform::userSettings(); }

}  // namespace

WindowPlace::WindowPlace(QWidget& window) : m_window(window) {
  const QByteArray kept = settings().value(kGeometryKey).toByteArray();
  m_fitted = !kept.isEmpty() && m_window.restoreGeometry(kept);
}

void WindowPlace::save() const { settings().setValue(kGeometryKey, m_window.saveGeometry()); }

void WindowPlace::fitColumns(const QTableView& grid) {
  if (m_fitted) return;
  const QHeaderView* header = grid.horizontalHeader();
  int wanted = 0;
  for (int v = 0, shown = 0; v < header->count() && shown < kFirstColumns; ++v) {
    const int col = header->logicalIndex(v);
    if (header->isSectionHidden(col)) continue;
    wanted += header->sectionSize(col);
    ++shown;
  }
  if (wanted == 0) return;  // nothing loaded: try again with the next load
  m_fitted = true;
  const int more = wanted - grid.viewport()->width();
  if (more <= 0) return;
  const QScreen* screen = m_window.screen();
  const int room = screen != nullptr ? screen->availableGeometry().width() - m_window.frameGeometry().width() : more;
  if (room > 0) m_window.resize(m_window.width() + std::min(more, room), m_window.height());
}

}  // namespace tarvolin::ui
