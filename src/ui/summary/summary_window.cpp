#include "ui/summary/summary_window.h"

#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cstdlib>

#include "core/series/summary_text.h"

namespace tarvolin::ui {

namespace {

constexpr int kChartsPerRow = 3;
constexpr int kChartWidth = 300;
constexpr int kChartHeight = 170;

QString text(const std::string& s) { return QString::fromStdString(s); }

QLabel* heading(const QString& caption, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

}  // namespace

SummaryWindow::SummaryWindow(core::CaptureSummary summary, const QString& title, QWidget* parent)
    : QMainWindow(parent), m_summary(std::move(summary)) {
  setObjectName(QStringLiteral("frmsummary"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(title);
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  QString caption = QStringLiteral("%1 snapshots of %2, %3 intervals")
                        .arg(m_summary.snapshots)
                        .arg(text(m_summary.kind))
                        .arg(m_summary.intervals.size());
  if (!m_summary.intervals.empty())
    caption += QStringLiteral(", from %1 to %2")
                   .arg(text(m_summary.intervals.front().from), text(m_summary.intervals.back().to));
  layout->addWidget(heading(caption, page));
  auto* grid = new QGridLayout;
  for (size_t f = 0; f < m_summary.figures.size(); ++f) {
    if (!m_summary.figures[f].shown()) continue;
    const int at = static_cast<int>(m_charts.size());
    grid->addWidget(chartOf(static_cast<int>(f)), at / kChartsPerRow, at % kChartsPerRow);
  }
  layout->addLayout(grid);
  for (size_t t = 0; t < m_summary.tops.size(); ++t) {
    layout->addWidget(heading(text(m_summary.tops[t].title), page));
    layout->addWidget(tableOf(static_cast<int>(t)));
  }
  auto* notes = new QLabel(notesText(), page);
  notes->setObjectName(QStringLiteral("lblsummarynotes"));
  notes->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(notes);
  layout->addStretch();
  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  scroll->setWidget(page);
  setCentralWidget(scroll);
  resize(kChartsPerRow * kChartWidth + 60, 760);
}

QChartView* SummaryWindow::chartOf(int figure) {
  const core::FigureValues& f = m_summary.figures[static_cast<size_t>(figure)];
  auto* chart = new QChart;
  auto* line = new QLineSeries(chart);
  auto* broken = new QScatterSeries(chart);
  broken->setColor(Qt::red);
  broken->setMarkerSize(8);
  for (size_t i = 0; i < f.values.size(); ++i) {
    if (!f.values[i]) continue;
    const double v = *f.values[i];
    line->append(static_cast<double>(i + 1), v);
    if (f.breaks(static_cast<int>(i))) broken->append(static_cast<double>(i + 1), v);
  }
  chart->addSeries(line);
  chart->addSeries(broken);
  chart->createDefaultAxes();
  const int intervals = std::max<int>(2, static_cast<int>(f.values.size()));
  for (QAbstractAxis* axis : chart->axes(Qt::Horizontal))
    if (auto* x = qobject_cast<QValueAxis*>(axis)) {  // by interval, numbered from 1
      x->setRange(1, intervals);
      x->setLabelFormat(QStringLiteral("%d"));
      x->setTickType(QValueAxis::TicksDynamic);
      x->setTickAnchor(1);
      x->setTickInterval(std::max(1, (intervals + 4) / 5));
    }
  for (QAbstractAxis* axis : chart->axes(Qt::Vertical))
    if (auto* y = qobject_cast<QValueAxis*>(axis)) y->setLabelFormat(QStringLiteral("%.6g"));
  chart->legend()->hide();
  QString title = text(f.figure.name) + QStringLiteral(": ") + text(core::summaryNumber(f.window));
  if (f.figure.rule) title += QStringLiteral(" (%1)").arg(text(f.figure.rule->text));
  QFont font = chart->titleFont();
  font.setPointSizeF(font.pointSizeF() * 0.9);
  chart->setTitleFont(font);
  chart->setTitle(title.toHtmlEscaped());  // a title is rich text: "< 90" is no tag
  chart->setMargins(QMargins(2, 2, 2, 2));
  auto* view = new QChartView(chart);
  view->setObjectName(QStringLiteral("chtfigure"));
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(kChartWidth, kChartHeight);
  view->setToolTip(QStringLiteral("%1 by interval; click for Chart Over Time").arg(text(f.figure.name)));
  view->viewport()->installEventFilter(this);
  m_charts.push_back(view);
  m_chartFigures.push_back(figure);
  return view;
}

QTableWidget* SummaryWindow::tableOf(int list) {
  const core::TopList& top = m_summary.tops[static_cast<size_t>(list)];
  auto* table = new QTableWidget(static_cast<int>(top.rows.size()), static_cast<int>(top.columns.size()));
  table->setObjectName(QStringLiteral("grdtop"));
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  for (size_t c = 0; c < top.columns.size(); ++c)
    table->setHorizontalHeaderItem(static_cast<int>(c), new QTableWidgetItem(text(top.columns[c])));
  for (size_t r = 0; r < top.rows.size(); ++r)
    for (size_t c = 0; c < top.rows[r].cells.size() && c < top.columns.size(); ++c) {
      const std::string& cell = top.rows[r].cells[c];
      auto* item = new QTableWidgetItem(text(c > 0 && core::parseDecimal(cell) ? core::summaryNumber(cell) : cell));
      if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table->setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
  table->resizeColumnsToContents();
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);  // a statement may be long
  table->verticalHeader()->hide();
  table->setFixedHeight(table->horizontalHeader()->height() + 6 +
                        table->verticalHeader()->defaultSectionSize() * std::max<int>(1, table->rowCount()));
  table->setToolTip(QStringLiteral("Click a row to show its entry in the main window"));
  connect(table, &QTableWidget::cellClicked, this, [this, list](int row, int) {
    const core::TopList& t = m_summary.tops[static_cast<size_t>(list)];
    emit entryChosen(text(t.kind), text(t.rows[static_cast<size_t>(row)].entryKey));
  });
  m_tops.push_back(table);
  return table;
}

QString SummaryWindow::notesText() const {
  QStringList lines;
  const std::vector<core::Departure> departures = m_summary.departures();
  if (!departures.empty()) lines << QStringLiteral("Farthest from the median:");
  for (size_t i = 0; i < departures.size() && i < 5; ++i) {
    const core::Departure& d = departures[i];
    const core::FigureValues& f = m_summary.figures[d.figure];
    const core::SummaryInterval& iv = m_summary.intervals[static_cast<size_t>(d.interval)];
    lines << QStringLiteral("    %1: %2 from %3 to %4 (median %5)")
                 .arg(text(f.figure.name), QString::number(d.value, 'f', 2), text(iv.from), text(iv.to),
                      QString::number(*f.median, 'f', 2));
  }
  QStringList left;
  for (const core::FigureValues& f : m_summary.figures)
    if (!f.shown()) left << text(f.figure.name);
  for (const std::string& l : m_summary.lacking) left << text(l);
  if (!left.isEmpty()) lines << QStringLiteral("Left out, the capture lacks what they need: ") + left.join(", ");
  for (const std::string& n : m_summary.notes) lines << text(n);
  return lines.join('\n');
}

bool SummaryWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
    for (size_t c = 0; c < m_charts.size(); ++c)
      if (watched == m_charts[c]->viewport()) {
        emit figureChosen(m_chartFigures[c]);
        return true;
      }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace tarvolin::ui
