#include "ui/main/main_window.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>

#include "core/compare/snapshot_compare.h"
#include "core/derived/statement_groups.h"
#include "core/lockwait/deadlocks.h"
#include "core/lockwait/lock_waits.h"
#include "core/read/known_indexes.h"
#include "core/values/snapshot_time.h"
#include "ui/compare/compare_command.h"
#include "ui/customise/customise_command.h"
#include "ui/derived/derived_columns_option.h"
#include "ui/derived/statements_window.h"
#include "ui/main/file_rules.h"
#include "ui/main/filter_status.h"
#include "ui/main/grid_command_handler.h"
#include "ui/main/grid_keys.h"
#include "ui/main/kept_cell.h"
#include "ui/main/kind_cache.h"
#include "ui/main/kind_tabs.h"
#include "ui/main/load_worker.h"
#include "ui/main/report_caption.h"
#include "ui/main/time_window_bar.h"
#include "ui/main/window_place.h"
#include "ui/result/column_commands.h"

namespace tarvolin::ui {

namespace {

/// File filters of Select File, the first one selected.
const QString kReportFilter = QStringLiteral("Text (*.txt);;All (*)");

/// The first local file among dropped URLs, or empty.
QString droppedFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls()) return {};
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return {};
}

}  // namespace

MainWindow::MainWindow(core::SharedState& shared, platform::Platform& platform, std::string configFolder,
                       QWidget* parent)
    : QMainWindow(parent),
      m_shared(shared),
      m_platform(platform),
      m_measure(std::make_unique<platform::FontTextMeasure>(font())),
      m_worker(std::make_unique<LoadWorker>(
          m_load, LoadWorker::Host{
                      [this](const core::GridBatch& batch, const QString& status) { rowsRead(batch, status); },
                      [this](const QString& kind) { m_lbltype->setText(kind); },
                      [this](const QDateTime& modified) { m_caption->fileTime(modified); },
                      [this](const QString& status, const QStringList& errors) { loadFinished(status, errors); }})),
      m_loader(shared, *m_report, m_load, m_worker->observer(), *m_measure, std::move(configFolder)),
      m_dpi(platform::screenDpi(this)),
      m_commands(std::make_unique<GridCommandHandler>(
          m_store, shared, m_load, platform,
          GridCommandHandler::Host{*this, [this](const QString& text) { showStatus(text); },
                                   [this] { loadCurrentFile(); }})),
      m_kindCache(std::make_unique<KindCache>()) {
  core::setRememberIndexes(true);  // the views of a report read its kind's records alone
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Tarvolin - View DB2 Snapshot"));
  setAcceptDrops(true);
  m_derived = std::make_unique<DerivedColumnsOption>(platform, m_loader.configFolder());
  buildControls();
  m_columns = std::make_unique<ColumnCommands>(
      m_store, platform.dialogs, ColumnCommands::Host{*this, [this](const QString& text) { showStatus(text); }, m_grd});
  buildMenus();
  m_tableActions << (new GridKeys(*m_grd, *m_tableMenu, *m_commands, *this, *m_cmbfile, [this] {
                      loadCurrentFile();
                    }))->reloadAction();
  sizeToDesign();
  m_caption = std::make_unique<ReportCaption>(*this, *m_lbltime, *m_cmbfile);
  m_place = std::make_unique<WindowPlace>(*this);
  m_filters = new FilterStatus(*m_statmsg, m_store);
  m_commands->setFilterStatus(m_filters);
  // The window's load handler: the next load is unfiltered.
  m_load.filterValue.clear();
}

MainWindow::~MainWindow() {
  m_worker->abandon();  // its thread uses the loader, the store's load state and the measure
  if (m_waitCursor) QApplication::restoreOverrideCursor();
}

void MainWindow::showStatus(const QString& text) { m_statusText->setText(text); }

bool MainWindow::loading() const { return m_worker->running(); }

void MainWindow::stopLoad() { m_worker->stop(); }

void MainWindow::setLoadRunning(bool running) {
  setTableCommandsEnabled(!running);
  m_comstop->setEnabled(running);
  if (running == m_waitCursor) return;
  m_waitCursor = running;
  if (running)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void MainWindow::setTableCommandsEnabled(bool enabled) {
  for (QWidget* w : {static_cast<QWidget*>(m_selectFile), static_cast<QWidget*>(m_mostRecent),
                     static_cast<QWidget*>(m_comref), static_cast<QWidget*>(m_cmbfile)})
    w->setEnabled(enabled);
  for (QAction* a : std::as_const(m_tableActions)) a->setEnabled(enabled);
  enableViewsOfKind(enabled);
}

void MainWindow::enableViewsOfKind(bool enabled) {
  const core::KindChoice locks{0, "", true};  // a file of several kinds: its lock snapshot, whatever is on show
  m_menlockwaits->setEnabled(enabled &&
                             (core::holdsLockWaits(m_report->kindHeading) || m_loader.index().find(locks) >= 0));
  m_mendeadlocks->setEnabled(enabled && m_report->kindHeading == core::kEventLog);
  m_menshapes->setEnabled(enabled && core::holdsStatements(m_report->kindHeading));
  m_menderived->setEnabled(enabled && !m_report->kindHeading.empty());  // the definitions are read when used
  m_menderived->setChecked(m_derived->enabledFor(m_report->kindHeading));
}

void MainWindow::switchDerivedColumns(bool on) {
  m_derived->setEnabledFor(m_report->kindHeading, on);
  m_cellToKeep = std::make_unique<KeptCell>(*m_grd);  // the reload adds or drops columns, not rows
  loadCurrentFile();
}

void MainWindow::loadCurrentFile() {
  if (m_worker->running()) {
    m_loadWhenStopped = true;
    m_worker->stop();
    return;
  }
  m_focusBeforeLoad = QApplication::focusWidget();
  setLoadRunning(true);
  const QString path = m_cmbfile->currentText();
  if (path != m_loadedPath) {
    if (!m_report->kindHeading.empty()) m_headingToKeep = m_report->kindHeading;
    m_cellToKeep.reset();
    m_kind = 0;  // another file: its first kind, and no tab of the one before to choose meanwhile
    showKinds(core::KindsIndex(), -1);
    showSnapshotTimes({});  // none till it has loaded
  }
  m_loadedPath = path;
  core::KindChoice kind;
  kind.number = m_kind + 1;
  m_loader.setKind(kind);
  m_filters->loadStarts(m_load);
  m_derivedFilter = m_derived->plan().takeDerivedFilter(m_report->vars, m_load);
  m_shownWhole = false;  // until the load has ended whole
  if (m_loadFromIndex) m_loader.setKnownIndex(QFile::encodeName(path).toStdString(), m_fileIndex);
  m_loadFromIndex = false;
  m_worker->start(m_loader, QFile::encodeName(path).toStdString());
}

void MainWindow::rowsRead(const core::GridBatch& batch, const QString& status) {
  try {
    core::replay(batch, m_store);
  } catch (const std::exception& e) {
    // The loader wrote the same changes into a grid of the same checks: not expected.
    m_platform.dialogs.message(this, QString::fromStdString(e.what()));
  }
  if (!status.isEmpty()) showStatus(status);
}

void MainWindow::loadFinished(const QString& status, const QStringList& errors) {
  showStatus(status);
  setLoadRunning(false);
  // The messages come last, once the window holds the loaded report: their boxes run events,
  // and a command taken there (a tab, Reload) must find the load settled.
  const auto tell = qScopeGuard([this, errors] {
    for (const QString& error : errors) m_platform.dialogs.message(this, error);
  });
  m_derived->apply(m_store, *m_measure, this, std::exchange(m_derivedFilter, std::nullopt));
  noteLoaded();
  m_loader.setKnownIndex({}, nullptr);
  m_filters->loaded(m_loader.counters().nentry);
  m_caption->loaded(m_loadedPath, core::captureSpanText(m_report->snapshotTimes));
  if (const std::string hidden = m_columns->loaded(); !hidden.empty())
    showStatus(m_statusText->text() + QStringLiteral("; ") + QString::fromStdString(hidden));
  QTimer::singleShot(0, this, [this] { m_place->fitColumns(*m_grd); });  // once the view has the widths
  const bool stopped = m_load.stopRequested;
  if (m_loadWhenStopped) {
    m_loadWhenStopped = false;
    loadCurrentFile();
    return;
  }
  if (m_loader.loadedKind() < 0 && m_kind > 0 && !m_loader.index().kinds().empty() && !stopped) {
    m_kind = 0;  // the file changed and lost the kind on show: its first kind
    loadCurrentFile();
    return;
  }
  if (!stopped && followKindShownBefore()) return;
  if (const std::unique_ptr<KeptCell> kept = std::move(m_cellToKeep); kept && !stopped) kept->restore(*m_grd);
  showKinds(m_loader.index(), m_loader.loadedKind());
  showSnapshotTimes(m_report->snapshotTimes);
  selectEntryToShow();
  const QPointer<QWidget> focused = m_focusBeforeLoad;
  if (focused != nullptr && focused->isEnabled() && !focused->hasFocus()) focused->setFocus(Qt::OtherFocusReason);
}

void MainWindow::addPath(const QString& path) {
  if (appendsToList(m_cmbfile->currentText(), path)) m_cmbfile->addItem(path);
  m_cmbfile->setEditText(path);
  loadCurrentFile();
}

bool MainWindow::openReport(const QString& path) {
  if (path.isEmpty()) return false;
  addPath(QFileInfo(path).absoluteFilePath());
  return true;
}

void MainWindow::selectFile() {
  QString chosen;
  try {
    chosen = m_platform.dialogs.openFile(this, kReportFilter, m_dialogPath);
  } catch (const std::exception&) {
    return;  // a failing dialog ends the command silently
  }
  if (chosen.isEmpty()) return;
  m_dialogPath = chosen;
  addPath(chosen);
}

void MainWindow::mostRecent() {
  const NewestFile newest = newestFile(m_platform.files.programDir(), m_platform.files);
  if (newest.error) {
    m_platform.dialogs.message(this, *newest.error);
    return;
  }
  if (newest.path.isEmpty()) return;
  addPath(newest.path);
}

void MainWindow::customise() {
  if (m_worker->running()) return;  // disabled meanwhile: the load owns the variables and their files
  // OK reloads, also when nothing changed, so the file on disk is what shows.
  if (runCustomise(m_shared, *m_report, m_platform, m_loader.configFolder(), this)) loadCurrentFile();
}

void MainWindow::chooseKind(int kind) {
  if (m_worker->running()) {  // the load on show stops; the kind chosen loads from the index
    m_kind = kind;
    loadKindFromIndex();
    return;
  }
  putShownKindAway();
  m_kind = kind;
  if (!showKeptKind(kind)) loadKindFromIndex();
}

bool MainWindow::followKindShownBefore() {
  const std::string heading = std::exchange(m_headingToKeep, {});
  if (heading.empty() || !m_fileIndex || m_loader.readParts()) return false;
  const int kind = m_fileIndex->find(core::KindChoice{0, heading, false});
  if (kind < 0 || kind == m_loader.loadedKind()) return false;
  showKinds(*m_fileIndex, m_loader.loadedKind());
  chooseKind(kind);
  return true;
}

void MainWindow::noteLoaded() {
  m_shownWhole = !m_load.stopRequested && !m_loader.counters().failed;
  if (m_loader.readParts()) return;
  m_kindCache->clear();
  m_fileIndex = m_shownWhole ? m_report->index : nullptr;
  if (m_fileIndex) core::rememberIndex(QFile::encodeName(m_loadedPath).toStdString(), m_fileIndex);
}

void MainWindow::putShownKindAway() {
  if (!m_fileIndex || !m_shownWhole || m_report->kindHeading.empty() || m_cmbfile->currentText() != m_loadedPath)
    return;
  ShownKind shown;
  shown.kind = m_kind;
  shown.place = m_grd->place();
  shown.store.replaceWith(std::move(m_store));  // m_store, over m_report emptied, shows an empty grid
  m_store.replaceWith(core::GridStore());
  shown.status = m_statusText->text();
  shown.derived = m_derived->applied();
  shown.hidden = m_columns->putAway();
  shown.filters = m_filters->summary();
  m_kindCache->keep(std::move(shown));
}

bool MainWindow::showKeptKind(int kind) {
  const core::FileStamp now = core::fileStampOf(QFile::encodeName(m_loadedPath).toStdString());
  if (!m_fileIndex || !m_fileIndex->sameFile(now.size, now.stamp) || m_cmbfile->currentText() != m_loadedPath) {
    m_kindCache->clear();
    return false;
  }
  std::optional<ShownKind> kept = m_kindCache->take(kind);
  if (!kept) return false;
  m_store.replaceWith(std::move(kept->store));
  m_store.setFixedCols(m_shared.lockcol ? std::min(1, m_store.cols()) : 0);  // the option may have changed since
  m_shownWhole = true;
  m_derived->restore(std::move(kept->derived));
  m_columns->shownAgain(std::move(kept->hidden));
  m_lbltype->setText(QString::fromStdString(m_report->kindHeading));
  m_caption->loaded(m_loadedPath, core::captureSpanText(m_report->snapshotTimes));
  showStatus(kept->status);
  m_filters->shownAgain(std::move(kept->filters));
  m_kindTabs->showKinds(*m_fileIndex, kind);
  showSnapshotTimes(m_report->snapshotTimes);
  enableViewsOfKind(true);
  m_grd->restorePlace(kept->place);
  return true;
}

void MainWindow::loadKindFromIndex() {
  m_loadFromIndex = true;  // taken when the load starts (after the one running has stopped)
  loadCurrentFile();
}

void MainWindow::showKinds(const core::KindsIndex& index, int current) {
  const int before = m_kindTabs->shownHeight();
  m_kindTabs->showKinds(index, current);
  const int change = m_kindTabs->shownHeight() - before;
  if (change != 0) m_grd->resize(m_grd->width(), m_grd->height() - change);
  m_kindTabs->placeUnder(*m_grd);
}

void MainWindow::showSnapshotTimes(std::vector<std::string> times) {
  const int before = m_timeBar->shownHeight();
  m_timeBar->showTimes(std::move(times));
  m_timeBar->resize(m_grd->width(), m_timeBar->sizeHint().height());
  const int change = m_timeBar->shownHeight() - before;
  if (change != 0) m_grd->setGeometry(m_grd->x(), m_grd->y() + change, m_grd->width(), m_grd->height() - change);
  m_timeBar->move(m_grd->x(), m_grd->y() - m_timeBar->shownHeight());
}

core::SnapshotWindow MainWindow::timeWindow() const { return m_timeBar->window(); }

void MainWindow::showEntry(const std::string& kind, const std::string& key) {
  raise();
  activateWindow();
  m_entryToShow.emplace(kind, key);
  if (core::sameHeading(report().kindHeading, kind)) {
    selectEntryToShow();
    return;
  }
  const core::KindsIndex& index = m_fileIndex ? *m_fileIndex : m_loader.index();
  const int chosen = index.find(core::KindChoice{0, kind, false});
  if (chosen < 0 || m_worker->running()) {
    m_entryToShow.reset();
    return;
  }
  chooseKind(chosen);  // a kept kind shows at once, another loads and is selected when it ends
  if (!m_worker->running()) selectEntryToShow();
}

void MainWindow::selectEntryToShow() {
  if (!m_entryToShow || !core::sameHeading(report().kindHeading, m_entryToShow->first)) return;
  const std::string key = std::exchange(m_entryToShow, std::nullopt)->second;
  const core::EntryKeys keys(m_store);
  for (int row = m_store.rows() - 1; row >= 1; --row)
    if (core::entryKeyText(keys.parts(row)) == key) {
      m_store.setSelection(row, 0, row, 0);
      m_grd->setFocus(Qt::OtherFocusReason);
      return;
    }
}

core::KindChoice MainWindow::kindOnShow() const {
  core::KindChoice kind;
  kind.heading = m_report->kindHeading;  // by heading: the earlier report of a comparison may list its kinds otherwise
  return kind;
}

void MainWindow::gridMouseUp(Qt::MouseButton button, const QPoint& globalPos) {
  if (button != Qt::RightButton) return;
  // The current cell stays where it was: the pop-up's commands act on it.
  m_grd->setFocus(Qt::MouseFocusReason);
  m_tableMenu->popup(globalPos);
}

// --- window events ---

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  applyLayout();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (m_worker->running()) {
    // What is read no longer matters: the load stops, and its thread ends before the window.
    m_worker->abandon();
    m_loadWhenStopped = false;
    setLoadRunning(false);
  }
  m_place->save();
  QMainWindow::closeEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString file = droppedFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  // Load after the drop has finished, so the dragging application is not kept waiting.
  QTimer::singleShot(0, this, [this, file] { openReport(file); });
}

namespace {

/// The header of the grid's current column: what a comparison opens sorted by.
std::string currentColumnName(const core::GridStore& g) {
  return g.rows() > 0 && g.col() >= 0 && g.col() < g.cols() ? std::string(g.text(0, g.col())) : std::string();
}

}  // namespace

void MainWindow::compareWithEarlier() {
  ui::compareWithEarlier(
      this, m_platform, m_loader.configFolder(), m_loadedPath, m_dialogPath, kindOnShow(),
      [this](const auto& earlierTimes, const auto& laterTimes, int& earlier, int& later) {
        return chooseSnapshots(this, earlierTimes, laterTimes, earlier, later);
      },
      m_derived->enabledFor(m_report->kindHeading) ? &m_derived->definitions(this) : &m_derived->quietDefinitions(),
      currentColumnName(m_store), m_derived->enabledFor(m_report->kindHeading));
}

void MainWindow::compareWindowEnds() {
  if (m_timeBar->count() < 2) {
    m_platform.dialogs.message(
        this, QStringLiteral("Compare From/To compares two snapshots of the report on show: it holds %1")
                  .arg(m_timeBar->count() == 0 ? QStringLiteral("none") : QStringLiteral("one")));
    return;
  }
  if (m_timeBar->first() == m_timeBar->last()) {
    m_platform.dialogs.message(this,
                               QStringLiteral("Compare From/To compares two snapshots: choose a To later than From"));
    return;
  }
  ui::compareSnapshotsOf(
      this, m_platform, m_loader.configFolder(), m_loadedPath, kindOnShow(), m_timeBar->first(), m_timeBar->last(),
      m_derived->enabledFor(m_report->kindHeading) ? &m_derived->definitions(this) : &m_derived->quietDefinitions(),
      currentColumnName(m_store), m_derived->enabledFor(m_report->kindHeading));
}

}  // namespace tarvolin::ui
