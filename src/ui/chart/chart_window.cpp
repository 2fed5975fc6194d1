#include "ui/chart/chart_window.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenuBar>
#include <QPainter>
#include <QSplitter>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "core/series/series.h"
#include "platform/font_text_measure.h"
#include "ui/chart/chart_drawing.h"
#include "ui/compare/compare_settings_bar.h"
#include "ui/result/off_thread.h"

namespace tarvolin::ui {

namespace {

/// What the measure list calls each measure.
QString measureName(core::ChartMeasure m) {
  switch (m) {
    case core::ChartMeasure::Rate:
      return QStringLiteral("Per second");
    case core::ChartMeasure::Change:
      return QStringLiteral("Change per interval");
    case core::ChartMeasure::InInterval:
      return QStringLiteral("In interval");
    case core::ChartMeasure::Value:
      break;
  }
  return QStringLiteral("Value");
}

}  // namespace

ChartRead readChartSnapshots(const std::vector<std::string>& paths, const std::string& configFolder,
                             const std::string& kind, std::optional<core::DateOrder> dates, core::ChartSeries& series,
                             const core::SnapshotWindow& window) {
  ChartRead read;
  std::optional<std::string> choice;
  if (!kind.empty()) choice = kind;
  const auto note = [&read](const std::string& text) { read.notes.push_back(text); };
  core::DateOrderEvidence evidence;
  for (; read.files < paths.size(); ++read.files) {  // the order from every file that can be read
    try {
      core::SeriesSource source;
      source.paths = {paths[read.files]};
      source.kind = choice;
      source.configFolder = configFolder;
      if (read.files == 0) source.window = window;
      core::forEachSeriesSnapshot(source, [&](core::LoadedSnapshot& s, int) { core::addDateEvidence(s, evidence); });
    } catch (const std::exception& e) {
      read.error = e.what();
      break;
    }
  }
  series.clear();
  series.setDateOrder(core::decideDateOrder(evidence, dates, note, "Dates"));
  for (size_t i = 0; i < read.files; ++i) {
    const auto add = [&](core::LoadedSnapshot& s, int) {
      series.add(s, core::snapshotLabel(s, series.snapshots() + 1));
    };
    core::SeriesSource source;
    source.paths = {paths[i]};
    source.kind = choice;
    source.configFolder = configFolder;
    if (i == 0) source.window = window;
    if (core::forEachSeriesSnapshot(source, add, note) == 0) read.skipped.push_back(i);
  }
  return read;
}

void dropUnread(const ChartRead& read, std::vector<std::string>& later) {
  if (read.files <= later.size()) later.resize(read.files > 0 ? read.files - 1 : 0);
  for (auto i = read.skipped.rbegin(); i != read.skipped.rend(); ++i)
    if (*i > 0 && *i <= later.size()) later.erase(later.begin() + static_cast<std::ptrdiff_t>(*i - 1));
}

void sortByFileName(QStringList& paths) {
  std::stable_sort(paths.begin(), paths.end(), [](const QString& a, const QString& b) {
    return QFileInfo(a).fileName() < QFileInfo(b).fileName();
  });
}

ChartWindow::ChartWindow(ChartRequest request, core::ChartSeries series, platform::Platform& platform,
                         platform::FileChoosers& choosers, QWidget* parent, core::SnapshotWindow window)
    : ResultWindow({"frmchart", "grdchart", "statchart"},
                   QStringLiteral("Chart Over Time: %1 - %2")
                       .arg(QString::fromStdString(request.variable),
                            QFileInfo(QFile::decodeName(request.path.c_str())).fileName()),
                   platform, parent),
      m_request(std::move(request)),
      m_window(std::move(window)),
      m_choosers(choosers),
      m_series(std::move(series)),
      m_measures(m_series.measures()),
      m_measure(m_measures.front()),
      m_dialogPath(QFile::decodeName(m_request.path.c_str())) {
  redrawTable();
  showGrid(QString());
  buildControls();
  redraw();
}

ChartWindow::~ChartWindow() = default;

void ChartWindow::buildControls() {
  QWidget* grid = takeCentralWidget();
  m_chart = new QChart;
  m_chart->setObjectName(QStringLiteral("chtover"));
  m_chart->legend()->setAlignment(Qt::AlignRight);  // keys in full, one under the other
  m_view = new QChartView(m_chart);
  m_view->setRenderHint(QPainter::Antialiasing);
  m_view->setMinimumSize(560, 420);

  m_cmbmeasure = new QComboBox;
  m_cmbmeasure->setObjectName(QStringLiteral("cmbmeasure"));
  for (const core::ChartMeasure m : m_measures) m_cmbmeasure->addItem(measureName(m));
  m_cmbmeasure->setCurrentIndex(0);
  m_cmbmeasure->setEnabled(m_measures.size() > 1);
  connect(m_cmbmeasure, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i >= 0 && i < static_cast<int>(m_measures.size())) setMeasure(m_measures[static_cast<size_t>(i)]);
  });
  auto* bar = new QHBoxLayout;
  auto* label = new QLabel(QStringLiteral("&Show:"));
  label->setBuddy(m_cmbmeasure);
  bar->addWidget(label);
  bar->addWidget(m_cmbmeasure);
  m_dates = new CompareSettingsBar(false, std::nullopt);
  connect(m_dates, &CompareSettingsBar::changed, this, &ChartWindow::readFiles);
  bar->addWidget(m_dates);
  bar->addStretch(1);

  auto* splitter = new QSplitter(Qt::Horizontal);
  splitter->addWidget(m_view);
  splitter->addWidget(grid);
  splitter->setStretchFactor(0, 1);
  splitter->setSizes({720, 480});
  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->addLayout(bar);
  layout->addWidget(splitter, 1);
  setCentralWidget(central);

  QMenu* file = new QMenu(QStringLiteral("&File"), this);
  file->setObjectName(QStringLiteral("menfile"));
  menuBar()->insertMenu(menuBar()->actions().value(0), file);
  QAction* add = file->addAction(QStringLiteral("Add Files..."), this, &ChartWindow::addFilesChosen);
  add->setObjectName(QStringLiteral("menaddfiles"));
  QAction* save = file->addAction(QStringLiteral("Save Image..."), this, &ChartWindow::saveImageChosen);
  save->setObjectName(QStringLiteral("mensaveimage"));
  resize(1200, 620);
}

QString ChartWindow::valueTitle() const {
  QString name = QString::fromStdString(m_request.variable);
  switch (m_data.shown) {
    case core::ChartMeasure::Rate:
      return name + QStringLiteral(" (per s)");
    case core::ChartMeasure::Change:
      return name + QStringLiteral(" (change)");
    case core::ChartMeasure::InInterval:
      return name + QStringLiteral(" (in interval)");
    case core::ChartMeasure::Value:
      break;
  }
  return name;
}

void ChartWindow::redrawTable() {
  m_data = m_series.chart(m_measure, m_request.currentKey);
  platform::FontTextMeasure measure(font());
  core::writeChartTable(m_data, valueTitle().toStdString(), store(), &measure);
}

void ChartWindow::redraw() {
  redrawTable();
  drawChart(*m_chart, m_data, valueTitle());
  const QList<QAbstractSeries*> lines = m_chart->series();
  for (qsizetype i = 0; i < lines.size(); ++i) {
    auto* line = qobject_cast<QLineSeries*>(lines[i]);
    const QString key = QString::fromStdString(m_data.lines[static_cast<size_t>(i)].key);
    for (QLegendMarker* marker : m_chart->legend()->markers(line))  // the whole key of a name cut short
      connect(marker, &QLegendMarker::hovered, this, [this, key](bool entered) {
        if (entered) QToolTip::showText(QCursor::pos(), key, m_view);
      });
    connect(line, &QLineSeries::hovered, this, [this, i](const QPointF& p, bool entered) {
      if (!entered) return;
      // The snapshot whose X is nearest to the point.
      size_t nearest = 0;
      for (size_t s = 1; s < m_data.labels.size(); ++s)
        if (std::abs(chartX(m_data, s) - p.x()) < std::abs(chartX(m_data, nearest) - p.x())) nearest = s;
      m_hoverText = pointText(static_cast<size_t>(i), nearest);
      QToolTip::showText(QCursor::pos(), m_hoverText, m_view);
    });
  }
}

QString ChartWindow::pointText(size_t line, size_t snapshot) const {
  if (line >= m_data.lines.size() || snapshot >= m_data.labels.size()) return {};
  const core::ChartLine& l = m_data.lines[line];
  return QStringLiteral("%1  %2  %3")
      .arg(QString::fromStdString(m_data.labels[snapshot]), QString::fromStdString(l.key),
           l.text[snapshot].empty() ? QStringLiteral("(none)") : QString::fromStdString(l.text[snapshot]));
}

void ChartWindow::setMeasure(core::ChartMeasure measure) {
  const auto offered = std::find(m_measures.begin(), m_measures.end(), measure);
  m_measure = offered == m_measures.end() ? m_measures.front() : measure;
  const int index = static_cast<int>(offered == m_measures.end() ? 0 : offered - m_measures.begin());
  if (m_cmbmeasure->currentIndex() != index) {
    m_cmbmeasure->setCurrentIndex(index);  // draws through the signal
    return;
  }
  redraw();
}

void ChartWindow::addFiles(QStringList paths) {
  sortByFileName(paths);
  for (const QString& path : paths) m_request.later.push_back(QFile::encodeName(path).toStdString());
  readFiles();
}

void ChartWindow::readFiles() {
  std::vector<std::string> paths{m_request.path};
  paths.insert(paths.end(), m_request.later.begin(), m_request.later.end());
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const std::optional<core::DateOrder> dates = m_dates->dateOrder();
  core::ChartSeries series = m_series;  // the one on show stays whole while the files are read
  const ChartRead read = readOffThread(this, QStringLiteral("Reading %1 files...").arg(paths.size()), [&] {
    return readChartSnapshots(paths, m_request.configFolder, m_request.kind, dates, series, m_window);
  });
  m_series = std::move(series);
  dropUnread(read, m_request.later);
  std::string told;
  for (const std::string& note : read.notes) told += note + "\n";
  if (!read.error.empty()) told += read.error + "\n";
  redraw();
  QApplication::restoreOverrideCursor();
  if (!told.empty()) {
    told.pop_back();
    platform().dialogs.message(this, QString::fromStdString(told));
  }
}

void ChartWindow::addFilesChosen() {
  const QStringList paths =
      m_choosers.openFiles(this, QStringLiteral("Text Files (*.txt);;All Files (*)"), m_dialogPath);
  if (paths.isEmpty()) return;
  m_dialogPath = paths.first();
  addFiles(paths);
}

QStringList ChartWindow::imageCaption() const {
  QString what = QString::fromStdString(m_request.variable);
  switch (m_data.shown) {
    case core::ChartMeasure::Rate:
      what += QStringLiteral(" per second");
      break;
    case core::ChartMeasure::Change:
      what += QStringLiteral(" change per interval");
      break;
    case core::ChartMeasure::InInterval:
      what += QStringLiteral(" in interval");
      break;
    case core::ChartMeasure::Value:
      break;
  }
  QStringList lines{m_request.kind.empty() ? what
                                           : QString::fromStdString(m_request.kind) + QStringLiteral(": ") + what};
  QString range;
  if (!m_data.labels.empty())
    range = QString::fromStdString(m_data.labels.front()) + QStringLiteral(" \u2013 ") +
            QString::fromStdString(m_data.labels.back()) + QStringLiteral(", %1 snapshots").arg(m_data.labels.size());
  QString files = QFileInfo(QFile::decodeName(m_request.path.c_str())).fileName();
  if (!m_request.later.empty())
    files += QStringLiteral(" \u2026 ") + QFileInfo(QFile::decodeName(m_request.later.back().c_str())).fileName() +
             QStringLiteral(" (%1 files)").arg(m_request.later.size() + 1);
  lines << (range.isEmpty() ? files : range + QStringLiteral("   ") + files);
  return lines;
}

bool ChartWindow::saveImage(const QString& path) {
  const QPixmap chart = m_view->grab();
  const QStringList caption = imageCaption();
  QFont bold = font();
  bold.setBold(true);
  const int line = QFontMetrics(bold).lineSpacing();
  const int margin = line / 2;
  QImage image(chart.width(), chart.height() + margin * 2 + line * static_cast<int>(caption.size()),
               QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setPen(Qt::black);
  for (qsizetype i = 0; i < caption.size(); ++i) {
    painter.setFont(i == 0 ? bold : font());
    painter.drawText(QRect(margin, margin + line * static_cast<int>(i), chart.width() - 2 * margin, line),
                     Qt::AlignLeft | Qt::AlignVCenter, caption[i]);
  }
  painter.drawPixmap(0, image.height() - chart.height(), chart);
  painter.end();
  return image.save(path, "PNG");
}

void ChartWindow::saveImageChosen() {
  QString path = m_choosers.saveFile(this, QStringLiteral("PNG Images (*.png)"),
                                     QFileInfo(m_dialogPath).completeBaseName() + QStringLiteral(".png"));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
  if (!saveImage(path)) platform().dialogs.message(this, QStringLiteral("Cannot write ") + path);
}

void ChartWindow::showDetailOf(int row) {
  // The hidden column numbers the points line by line, in snapshot order.
  const std::string_view number = store().text(row, 3);
  int point = 0;
  std::from_chars(number.data(), number.data() + number.size(), point);
  for (size_t line = 0; line < m_data.lines.size(); ++line)
    for (size_t s = 0; s < m_data.labels.size(); ++s)
      if (m_data.lines[line].y[s] && --point == 0) {
        platform().dialogs.message(this, pointText(line, s));
        return;
      }
}

}  // namespace tarvolin::ui
