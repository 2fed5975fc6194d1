#include "ui/main/main_window.h"

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
#include <QTimer>

#include "core/derived/statement_groups.h"
#include "core/lockwait/deadlocks.h"
#include "core/lockwait/lock_waits.h"
#include "core/read/known_indexes.h"
#include "ui/compare/compare_command.h"
#include "ui/customise/customise_command.h"
#include "ui/derived/derived_columns_option.h"
#include "ui/derived/statements_window.h"
#include "ui/main/column_commands.h"
#include "ui/main/file_rules.h"
#include "ui/main/filter_status.h"
#include "ui/main/grid_command_handler.h"
#include "ui/main/grid_keys.h"
#include "ui/main/kind_cache.h"
#include "ui/main/kind_tabs.h"
#include "ui/main/report_caption.h"
#include "ui/main/window_place.h"

namespace tarvolin::ui {

namespace {

/// Lines between two reads of the clock while a load runs.
constexpr unsigned kLinesPerClockCheck = 256;
/// File filters of Select File, the first one selected.
const QString kReportFilter = QStringLiteral("Text (*.txt);;All (*)");
/// Least time between two yields to pending events during a load.
constexpr std::chrono::milliseconds kYieldInterval{10};

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
      m_loader(shared, m_load, *this, *m_measure, std::move(configFolder)),
      m_dpi(platform::screenDpi(this)),
      m_commands(std::make_unique<GridCommandHandler>(
          m_store, shared, m_load, platform,
          GridCommandHandler::Host{*this, [this](const QString& text) { showStatus(text); },
                                   [this] { return refuseWhileLoading(); }, [this] { loadCurrentFile(); }})),
      m_columns(std::make_unique<ColumnCommands>(
          m_store, platform.dialogs, ColumnCommands::Host{*this, [this](const QString& text) { showStatus(text); }})),
      m_kindCache(std::make_unique<KindCache>()) {
  core::setRememberIndexes(true);  // the views of a report read its kind's records alone
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Tarvolin - View DB2 Snapshot"));
  setAcceptDrops(true);
  m_derived = std::make_unique<DerivedColumnsOption>(platform, m_loader.configFolder());
  buildControls();
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
  if (m_waitCursor) QApplication::restoreOverrideCursor();
}

void MainWindow::showStatus(const QString& text) {
  m_statusPending = false;
  m_statusText->setText(text);
}

void MainWindow::flushStatus() {
  if (!m_statusPending) return;
  m_statusPending = false;
  m_statusText->setText(QString::fromStdString(m_pendingStatus));
}

bool MainWindow::refuseWhileLoading() {
  if (!m_loader.loading()) return false;
  showStatus(kBusyMessage);
  return true;
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
                             (core::holdsLockWaits(m_shared.kindHeading) || m_loader.index().find(locks) >= 0));
  m_mendeadlocks->setEnabled(enabled && m_shared.kindHeading == core::kEventLog);
  m_menshapes->setEnabled(enabled && core::holdsStatements(m_shared.kindHeading));
  m_menderived->setEnabled(enabled && !m_shared.kindHeading.empty());  // the definitions are read when used
  m_menderived->setChecked(m_derived->enabledFor(m_shared.kindHeading));
}

void MainWindow::switchDerivedColumns(bool on) {
  if (refuseWhileLoading()) return;
  m_derived->setEnabledFor(m_shared.kindHeading, on);
  loadCurrentFile();
}

bool MainWindow::loadCurrentFile() {
  if (refuseWhileLoading()) return false;
  const QPointer<QWidget> focused = QApplication::focusWidget();  // Enter in the file box, Reload: kept there
  setTableCommandsEnabled(false);
  m_closeWhenLoaded = false;
  m_lastYield = std::chrono::steady_clock::now();
  m_linesSinceCheck = 0;
  const QString path = m_cmbfile->currentText();
  if (path != m_loadedPath) m_kind = 0;  // another file: its first kind
  m_loadedPath = path;
  core::KindChoice kind;
  kind.number = m_kind + 1;
  m_loader.setKind(kind);
  m_filters->loadStarts(m_load);
  std::optional<core::ColumnFilter> derivedFilter = m_derived->plan().takeDerivedFilter(m_shared.vars, m_load);
  m_loader.load(QFile::encodeName(path).toStdString(), m_store);
  m_derived->apply(m_shared, m_store, *m_measure, this, std::move(derivedFilter));
  noteLoaded();
  flushStatus();
  m_filters->loaded(m_loader.counters().nentry);
  m_caption->loaded(path, m_loader.snapshotTime());
  if (const std::string hidden = m_columns->loaded(); !hidden.empty())
    showStatus(m_statusText->text() + QStringLiteral("; ") + QString::fromStdString(hidden));
  QTimer::singleShot(0, this, [this] { m_place->fitColumns(*m_grd); });  // once the view has the widths
  setTableCommandsEnabled(true);
  if (m_loader.loadedKind() < 0 && m_kind > 0 && !m_loader.index().kinds().empty() && !m_load.stopRequested &&
      !m_closeWhenLoaded) {
    m_kind = 0;  // the file changed and lost the kind on show: its first kind
    return loadCurrentFile();
  }
  showKinds();
  if (focused != nullptr && focused->isEnabled() && !focused->hasFocus()) focused->setFocus(Qt::OtherFocusReason);
  if (m_closeWhenLoaded) close();
  return true;
}

bool MainWindow::addPath(const QString& path) {
  if (refuseWhileLoading()) return false;
  if (appendsToList(m_cmbfile->currentText(), path)) m_cmbfile->addItem(path);
  m_cmbfile->setEditText(path);
  return loadCurrentFile();
}

bool MainWindow::openReport(const QString& path) {
  if (path.isEmpty()) return false;
  return addPath(QFileInfo(path).absoluteFilePath());
}

void MainWindow::selectFile() {
  if (refuseWhileLoading()) return;
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
  if (refuseWhileLoading()) return;
  const NewestFile newest = newestFile(m_platform.files.programDir(), m_platform.files);
  if (newest.error) {
    m_platform.dialogs.message(this, *newest.error);
    return;
  }
  if (newest.path.isEmpty()) return;
  addPath(newest.path);
}

void MainWindow::customise() {
  if (refuseWhileLoading()) return;
  // OK reloads, also when nothing changed, so the file on disk is what shows.
  if (runCustomise(m_shared, m_platform, m_loader.configFolder(), this)) loadCurrentFile();
}

void MainWindow::chooseKind(int kind) {
  if (refuseWhileLoading()) {
    m_kindTabs->select(m_kind);
    return;
  }
  putShownKindAway();
  m_kind = kind;
  if (!showKeptKind(kind)) loadKindFromIndex();
}

void MainWindow::noteLoaded() {
  m_shownTime = m_loader.snapshotTime();
  m_shownEntries = m_loader.counters().nentry;
  m_shownWhole = !m_load.stopRequested && !m_loader.counters().failed;
  if (m_loader.readParts()) return;
  m_kindCache->clear();
  m_fileIndex = m_shownWhole ? std::make_shared<const core::KindsIndex>(m_loader.index()) : nullptr;
  if (m_fileIndex) core::rememberIndex(QFile::encodeName(m_loadedPath).toStdString(), m_fileIndex);
}

void MainWindow::putShownKindAway() {
  if (!m_fileIndex || !m_shownWhole || m_shared.kindHeading.empty() || m_cmbfile->currentText() != m_loadedPath) return;
  ShownKind shown;
  shown.kind = m_kind;
  shown.store = std::move(m_store);
  m_store.replaceWith(core::GridStore());
  shown.vars = m_shared.vars;
  shown.heading = m_shared.kindHeading;
  shown.snapshotTime = m_shownTime;
  shown.status = m_statusText->text();
  shown.entries = m_shownEntries;
  m_kindCache->keep(std::move(shown));
}

bool MainWindow::showKeptKind(int kind) {
  const core::FileStamp now = core::fileStampOf(QFile::encodeName(m_loadedPath).toStdString());
  if (!m_fileIndex || now.size != m_fileIndex->fileSize() || now.stamp != m_fileIndex->fileStamp() ||
      m_cmbfile->currentText() != m_loadedPath) {
    m_kindCache->clear();
    return false;
  }
  std::optional<ShownKind> kept = m_kindCache->take(kind);
  if (!kept) return false;
  m_store.replaceWith(std::move(kept->store));
  m_shared.vars = std::move(kept->vars);
  m_shared.kindHeading = kept->heading;
  m_shownTime = kept->snapshotTime;
  m_shownEntries = kept->entries;
  m_shownWhole = true;
  setKind(m_shared.kindHeading);
  m_caption->loaded(m_loadedPath, m_shownTime);
  showStatus(kept->status);
  m_filters->loadStarts(m_load);
  m_filters->loaded(m_shownEntries);
  m_kindTabs->showKinds(*m_fileIndex, kind);
  enableViewsOfKind(true);
  return true;
}

void MainWindow::loadKindFromIndex() {
  m_loader.setKnownIndex(QFile::encodeName(m_loadedPath).toStdString(), m_fileIndex);
  loadCurrentFile();
  m_loader.setKnownIndex({}, nullptr);
}

void MainWindow::showKinds() {
  const int before = m_kindTabs->shownHeight();
  m_kindTabs->showKinds(m_loader.index(), m_loader.loadedKind());
  const int change = m_kindTabs->shownHeight() - before;
  if (change != 0) m_grd->resize(m_grd->width(), m_grd->height() - change);
  m_kindTabs->placeUnder(*m_grd);
}

core::KindChoice MainWindow::kindOnShow() const {
  core::KindChoice kind;
  kind.heading = m_shared.kindHeading;  // by heading: the earlier report of a comparison may list its kinds otherwise
  return kind;
}

void MainWindow::gridMouseUp(Qt::MouseButton button, const QPoint& globalPos) {
  if (button != Qt::RightButton) return;
  // The current cell stays where it was: the pop-up's commands act on it.
  m_grd->setFocus(Qt::MouseFocusReason);
  m_tableMenu->popup(globalPos);
}

// --- the load's observer ---

void MainWindow::setStatus(const std::string& text) {
  if (!m_loader.loading()) {
    showStatus(QString::fromStdString(text));
    return;
  }
  // While reading, the line shows the latest count each time events are let through.
  m_pendingStatus = text;
  m_statusPending = true;
}

void MainWindow::setFileTime(std::chrono::system_clock::time_point modified) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(modified.time_since_epoch()).count();
  m_caption->fileTime(QDateTime::fromMSecsSinceEpoch(ms));
}

void MainWindow::setKind(const std::string& kind) { m_lbltype->setText(QString::fromStdString(kind)); }

void MainWindow::setStopEnabled(bool enabled) { m_comstop->setEnabled(enabled); }

void MainWindow::setWaitCursor(bool wait) {
  if (wait == m_waitCursor) return;
  m_waitCursor = wait;
  if (wait)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void MainWindow::yieldEvents() {
  // Called after every line: look at the clock only every few hundred lines and let
  // events run only when the interval has passed, so Stop is seen within milliseconds
  // at a negligible cost per line.
  if (++m_linesSinceCheck < kLinesPerClockCheck) return;
  m_linesSinceCheck = 0;
  const auto now = std::chrono::steady_clock::now();
  if (now - m_lastYield < kYieldInterval) return;
  flushStatus();
  QApplication::processEvents();
  m_lastYield = std::chrono::steady_clock::now();
}

void MainWindow::showError(const std::string& message) {
  flushStatus();
  m_platform.dialogs.message(this, QString::fromStdString(message));
}

// --- window events ---

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  applyLayout();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (m_loader.loading()) {
    // The load runs below this event: stop it and close once it has finished.
    m_load.stopRequested = true;
    m_closeWhenLoaded = true;
    event->ignore();
    return;
  }
  m_place->save();
  QMainWindow::closeEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!m_loader.loading() && !droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
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
      m_derived->enabledFor(m_shared.kindHeading) ? &m_derived->definitions(this) : &m_derived->quietDefinitions(),
      currentColumnName(m_store), m_derived->enabledFor(m_shared.kindHeading));
}

}  // namespace tarvolin::ui
