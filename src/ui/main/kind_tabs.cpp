#include "ui/main/kind_tabs.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QTabBar>

namespace tarvolin::ui {

KindTabs::KindTabs(QWidget* parent) : QObject(parent), m_bar(new QTabBar(parent)) {
  m_bar->setObjectName(QStringLiteral("tabkinds"));
  m_bar->setShape(QTabBar::RoundedSouth);  // under the grid, as a spreadsheet's sheets
  m_bar->setExpanding(false);
  m_bar->setDrawBase(false);
  m_bar->setUsesScrollButtons(true);
  m_bar->hide();
  connect(m_bar, &QTabBar::currentChanged, this, [this](int i) {
    for (int k = 0; k < m_kinds.size(); ++k) m_kinds[k]->setChecked(k == i);
    if (!m_filling && i >= 0) emit kindChosen(i);
  });
}

void KindTabs::showKinds(const core::KindsIndex& index, int current) {
  m_filling = true;
  while (m_bar->count() > 0) m_bar->removeTab(0);
  const std::vector<core::KindSummary>& kinds = index.kinds();
  if (kinds.size() > 1)
    for (const core::KindSummary& k : kinds)
      m_bar->addTab(QStringLiteral("%1 (%2)").arg(QString::fromStdString(k.heading)).arg(k.rows));
  if (current >= 0 && current < m_bar->count()) m_bar->setCurrentIndex(current);
  m_bar->setVisible(kinds.size() > 1);
  fillMenu();
  m_filling = false;
}

int KindTabs::shownHeight() const { return m_bar->isHidden() ? 0 : m_bar->sizeHint().height(); }

void KindTabs::placeUnder(const QWidget& grid) {
  m_bar->setGeometry(grid.x(), grid.y() + grid.height(), grid.width(), m_bar->sizeHint().height());
}

void KindTabs::select(int kind) {
  m_filling = true;
  m_bar->setCurrentIndex(kind);
  m_filling = false;
}

void KindTabs::attachMenu(QMenu& menu) {
  m_menu = &menu;
  m_group = new QActionGroup(this);
  m_next = menu.addAction(QStringLiteral("Next Kind"), this, [this] { step(1); });
  m_next->setObjectName(QStringLiteral("menkindnext"));
  m_next->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
  m_previous = menu.addAction(QStringLiteral("Previous Kind"), this, [this] { step(-1); });
  m_previous->setObjectName(QStringLiteral("menkindprev"));
  m_previous->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
  menu.addSeparator();
  fillMenu();
}

void KindTabs::fillMenu() {
  if (m_menu == nullptr) return;
  qDeleteAll(m_kinds);
  m_kinds.clear();
  const int count = m_bar->count();
  m_next->setEnabled(count > 1);
  m_previous->setEnabled(count > 1);
  for (int i = 0; i < count; ++i) {
    QAction* a = m_menu->addAction(m_bar->tabText(i), this, [this, i] {
      if (i < m_bar->count()) m_bar->setCurrentIndex(i);
    });
    a->setObjectName(QStringLiteral("menkind%1").arg(i + 1));
    a->setCheckable(true);
    a->setActionGroup(m_group);  // one checked, and choosing it again leaves it so
    a->setChecked(i == m_bar->currentIndex());
    if (i < 9) a->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + i)));
    m_kinds << a;
  }
}

void KindTabs::step(int step) {
  const int count = m_bar->count();
  if (count > 1) m_bar->setCurrentIndex(((m_bar->currentIndex() + step) % count + count) % count);
}

}  // namespace tarvolin::ui
