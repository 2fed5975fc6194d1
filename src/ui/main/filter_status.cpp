#include "ui/main/filter_status.h"

#include <QLabel>
#include <QStatusBar>
#include <utility>

namespace tarvolin::ui {

FilterStatus::FilterStatus(QStatusBar& bar, const core::GridStore& grid)
    : QObject(&bar), m_grid(grid), m_label(new QLabel(&bar)) {
  m_label->setObjectName(QStringLiteral("statfilter"));
  bar.addPermanentWidget(m_label);
}

void FilterStatus::loadStarts(const core::LoadState& load) { m_summary.loadStarts(load, m_grid); }

void FilterStatus::loaded(int32_t entries) {
  m_summary.loaded(entries);
  update();
}

void FilterStatus::excluded(const std::string& column, const std::string& value) {
  m_summary.excluded(column, value);
  update();
}

void FilterStatus::shownAll() {
  m_summary.shownAll();
  update();
}

void FilterStatus::shownAgain(core::FilterSummary summary) {
  m_summary = std::move(summary);
  update();
}

void FilterStatus::update() { m_label->setText(QString::fromStdString(m_summary.text(m_grid))); }

}  // namespace tarvolin::ui
