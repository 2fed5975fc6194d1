#include "ui/main/form1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>

#include "platform/text_viewer.h"
#include "platform/twips.h"
#include "ui/about/about_box.h"
#include "ui/about/help_file.h"
#include "ui/customise/customise_command.h"
#include "ui/main/grid_command_handler.h"

namespace tarvolin::ui {

namespace {

/// Lines between two reads of the clock while a load runs.
constexpr unsigned kLinesPerClockCheck = 256;

/// The first local file among dropped URLs, or empty.
QString droppedFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls()) return {};
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return {};
}

}  // namespace

Form1::Form1(core::SharedState& shared, platform::Platform& platform, QWidget* parent)
    : QMainWindow(parent),
      m_shared(shared),
      m_platform(platform),
      m_measure(std::make_unique<platform::FontTextMeasure>(font())),
      m_loader(shared, m_load, *this, *m_measure, "."),  // configuration files of the current folder
      m_dpi(platform::screenDpi(this)),
      m_commands(std::make_unique<GridCommandHandler>(*this)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Tarvolin - View DB2 Snapshot"));
  setAcceptDrops(true);
  buildControls();
  buildMenus();
  sizeToDesign();
  // The window's load handler: the next load is unfiltered.
  m_load.like_val.clear();
}

Form1::~Form1() {
  if (m_waitCursor) QApplication::restoreOverrideCursor();
  // The view and its model observe m_store, which dies with this object, before QWidget
  // deletes the children: let them go first.
  delete m_grd;
  m_grd = nullptr;
}

QString Form1::statusText() const { return m_statusText->text(); }

void Form1::showStatus(const QString& text) {
  m_statusPending = false;
  m_statusText->setText(text);
}

void Form1::flushStatus() {
  if (!m_statusPending) return;
  m_statusPending = false;
  m_statusText->setText(QString::fromStdString(m_pendingStatus));
}

bool Form1::refuseWhileLoading() {
  if (!m_loader.loading()) return false;
  showStatus(kBusyMessage);
  return true;
}

void Form1::setTableCommandsEnabled(bool enabled) {
  for (QWidget* w : {static_cast<QWidget*>(m_command2), static_cast<QWidget*>(m_comrec),
                     static_cast<QWidget*>(m_comref), static_cast<QWidget*>(m_cmbfile)})
    w->setEnabled(enabled);
  for (QAction* a : std::as_const(m_tableActions)) a->setEnabled(enabled);
}

bool Form1::do_refresh() {
  if (refuseWhileLoading()) return false;
  setTableCommandsEnabled(false);
  m_closeWhenLoaded = false;
  m_lastYield = std::chrono::steady_clock::now();
  m_linesSinceCheck = 0;
  m_loader.do_refresh(QFile::encodeName(m_cmbfile->currentText()).toStdString(), m_store);
  flushStatus();
  setTableCommandsEnabled(true);
  if (m_closeWhenLoaded) close();
  return true;
}

bool Form1::addPath(const QString& path) {
  if (refuseWhileLoading()) return false;
  if (appendsToList(m_cmbfile->currentText(), path)) m_cmbfile->addItem(path);
  m_cmbfile->setEditText(path);
  return do_refresh();
}

bool Form1::openReport(const QString& path) {
  if (path.isEmpty()) return false;
  return addPath(QFileInfo(path).absoluteFilePath());
}

// --- commands of this window ---

void Form1::on_Command2() {
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

void Form1::on_cmbfile(int /*index*/) { do_refresh(); }

void Form1::on_comrec() {
  if (refuseWhileLoading()) return;
  const NewestFile newest = newestFile(m_platform.files.programDir(), m_platform.files);
  if (newest.error) {
    m_platform.dialogs.message(this, *newest.error);
    return;
  }
  if (newest.path.isEmpty()) return;
  addPath(newest.path);
}

void Form1::on_comref() { do_refresh(); }

void Form1::on_comview() { platform::run_notepad(m_cmbfile->currentText(), m_platform, this); }

void Form1::on_comstop() { m_load.stopflag = true; }

void Form1::on_menclose() { close(); }

// --- commands of the other windows ---

void Form1::on_mencfg() {
  if (refuseWhileLoading()) return;
  // OK reloads, also when nothing changed, so the file on disk is what shows.
  if (runCustomise(m_shared, m_platform, this)) do_refresh();
}

void Form1::on_menh() { showHelp(m_platform, this); }

void Form1::on_menabout() { showAboutBox(m_platform, this); }

void Form1::on_mendetail() { m_commands->showDetail(); }

// --- commands on the grid's cells ---

void Form1::on_mencopy() { m_commands->copyCells(); }
void Form1::on_menprint() { m_commands->printScreen(); }
void Form1::on_menlock() { m_menlock->setChecked(m_commands->lockFirstCol()); }
void Form1::on_mensort(int index) {
  m_commands->sort(index == 0 ? core::SortOrder::Ascending : core::SortOrder::Descending);
}
void Form1::on_menshowcell() { m_commands->showCellValue(); }
void Form1::on_mencopycell() { m_commands->copyCellValue(); }
void Form1::on_mencolwider() { m_commands->makeColumnWider(); }
void Form1::on_menexcl() { m_commands->excludeLikeThis(); }
void Form1::on_menexclnone() { m_commands->showAllLines(); }
void Form1::on_menlike() { m_commands->reloadLikeThis(); }
void Form1::on_menlike2() { m_commands->reloadLikePrompt(); }
void Form1::on_grd_click() { m_commands->click(); }
void Form1::on_grd_dblclick() { m_commands->showDetail(); }
void Form1::on_grd_mouseup(Qt::MouseButton button, const QPoint& globalPos) { m_commands->mouseUp(button, globalPos); }

// --- the load's observer ---

void Form1::setStatus(const std::string& text) {
  if (!m_loader.loading()) {
    showStatus(QString::fromStdString(text));
    return;
  }
  // While reading, the line shows the latest count each time events are let through.
  m_pendingStatus = text;
  m_statusPending = true;
}

void Form1::setFileTime(std::chrono::system_clock::time_point modified) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(modified.time_since_epoch()).count();
  m_lbltime->setText(QLocale::system().toString(QDateTime::fromMSecsSinceEpoch(ms), QLocale::ShortFormat));
}

void Form1::setKind(const std::string& kind) { m_lbltype->setText(QString::fromStdString(kind)); }

void Form1::setStopEnabled(bool enabled) { m_comstop->setEnabled(enabled); }

void Form1::setWaitCursor(bool wait) {
  if (wait == m_waitCursor) return;
  m_waitCursor = wait;
  if (wait)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void Form1::yieldEvents() {
  // Called after every line: look at the clock only every few hundred lines and let
  // events run only when the interval has passed, so Stop is seen within milliseconds
  // at a negligible cost per line.
  if (++m_linesSinceCheck < kLinesPerClockCheck) return;
  m_linesSinceCheck = 0;
  const auto now = std::chrono::steady_clock::now();
  if (now - m_lastYield < m_yieldInterval) return;
  flushStatus();
  QApplication::processEvents();
  m_lastYield = std::chrono::steady_clock::now();
}

void Form1::showError(const std::string& message) {
  flushStatus();
  m_platform.dialogs.message(this, QString::fromStdString(message));
}

// --- window events ---

void Form1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  applyLayout();
}

void Form1::closeEvent(QCloseEvent* event) {
  if (m_loader.loading()) {
    // The load runs below this event: stop it and close once it has finished.
    m_load.stopflag = true;
    m_closeWhenLoaded = true;
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  if (!m_loader.loading() && !droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
  const QString file = droppedFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  // Load after the drop has finished, so the dragging application is not kept waiting.
  QTimer::singleShot(0, this, [this, file] { openReport(file); });
}

}  // namespace tarvolin::ui
