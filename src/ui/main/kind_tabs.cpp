#include "ui/main/kind_tabs.h"

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

}  // namespace tarvolin::ui
