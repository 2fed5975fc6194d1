#include "ui/main/database_export.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <utility>

namespace tarvolin::ui {

namespace {

QString kindsText(const std::vector<std::string>& kinds) {
  QStringList names;
  for (const std::string& k : kinds) names << QString::fromStdString(k);
  return names.join(QStringLiteral(", "));
}

/// What the window says of an export that went through.
QString outcomeText(const core::CaptureOutcome& out, const QString& database) {
  const QString db = QFileInfo(database).fileName();
  if (out.skipped) return QStringLiteral("The report was in %1 already: nothing added.").arg(db);
  if (out.kinds.empty()) return QStringLiteral("The file holds no report: nothing added to %1.").arg(db);
  QString text = QStringLiteral("%1 snapshot(s) added to %2 (%3).").arg(out.added).arg(db, kindsText(out.kinds));
  if (out.present > 0) text += QStringLiteral(" %1 were there already.").arg(out.present);
  return text;
}

}  // namespace

DatabaseExportDialog::DatabaseExportDialog(std::string report, std::string database, std::string configFolder,
                                           core::CounterTypes types, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("ExportToDatabase"));
  setWindowTitle(QStringLiteral("Export to Database"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  m_status = new QLabel(QStringLiteral("Writing %1 to %2...")
                            .arg(QFileInfo(QFile::decodeName(report.c_str())).fileName(),
                                 QFileInfo(QFile::decodeName(database.c_str())).fileName()),
                        this);
  m_status->setObjectName(QStringLiteral("status"));
  m_status->setWordWrap(true);
  m_bar = new QProgressBar(this);
  m_bar->setObjectName(QStringLiteral("progress"));
  m_bar->setRange(0, 0);  // busy until the first snapshot tells the total
  m_button = new QPushButton(QStringLiteral("Stop"), this);
  m_button->setObjectName(QStringLiteral("stop"));
  layout->addWidget(m_status);
  layout->addWidget(m_bar);
  layout->addWidget(m_button, 0, Qt::AlignRight);
  connect(m_button, &QPushButton::clicked, this, [this] {
    if (m_running)
      stop();
    else
      close();
  });
  resize(460, sizeHint().height());
  m_job = [this, report = std::move(report), database = std::move(database), configFolder = std::move(configFolder),
           types = std::move(types)]() mutable { run(report, database, configFolder, std::move(types)); };
}

void DatabaseExportDialog::start() {
  if (m_job) m_thread = std::thread(std::exchange(m_job, {}));
}

DatabaseExportDialog::~DatabaseExportDialog() {
  stop();
  if (m_thread.joinable()) m_thread.join();
}

void DatabaseExportDialog::stop() {
  const std::lock_guard lock(m_mutex);
  m_stopAsked = true;
  if (m_loader != nullptr) m_loader->requestStop();
}

void DatabaseExportDialog::closeEvent(QCloseEvent* event) {
  stop();
  if (m_thread.joinable()) m_thread.join();  // the rollback is quick
  event->accept();
}

void DatabaseExportDialog::run(const std::string& report, const std::string& database, const std::string& configFolder,
                               core::CounterTypes types) {
  bool stored = false;
  QString message;
  try {
    core::CaptureStore store(database);
    core::CaptureLoader loader(store, {configFolder, std::nullopt, std::move(types)});
    loader.setProgress([this](int done, int total) {
      QMetaObject::invokeMethod(
          this, [this, done, total] { progressed(done, total); }, Qt::QueuedConnection);
    });
    {
      const std::lock_guard lock(m_mutex);
      m_loader = &loader;
      if (m_stopAsked) loader.requestStop();
    }
    try {
      const core::CaptureOutcome out = loader.load(report);
      stored = true;
      message = outcomeText(out, QFile::decodeName(database.c_str()));
    } catch (const core::CaptureError& e) {
      message = QString::fromStdString(e.what()) + QStringLiteral("; nothing of it was added.");
    }
    const std::lock_guard lock(m_mutex);
    m_loader = nullptr;
  } catch (const core::ForeignDatabaseError& e) {
    message = QStringLiteral("%1 is %2: it was left as it was.")
                  .arg(QFile::decodeName(database.c_str()), QString::fromStdString(e.what()));
  } catch (const std::exception& e) {
    message = QStringLiteral("Cannot write to %1: %2")
                  .arg(QFile::decodeName(database.c_str()), QString::fromStdString(e.what()));
  }
  QMetaObject::invokeMethod(
      this, [this, stored, message] { ended(stored, message); }, Qt::QueuedConnection);
}

void DatabaseExportDialog::progressed(int done, int total) {
  if (!m_running) return;
  m_bar->setRange(0, total);
  m_bar->setValue(done);
}

void DatabaseExportDialog::ended(bool stored, const QString& message) {
  m_running = false;
  if (m_thread.joinable()) m_thread.join();
  m_bar->setRange(0, 1);
  m_bar->setValue(stored ? 1 : 0);
  m_status->setText(message);
  m_button->setText(QStringLiteral("Close"));
  emit exportEnded(stored, message);
}

DatabaseExportDialog* exportToDatabase(QWidget* owner, platform::Platform& platform, platform::FileChoosers& choosers,
                                       const std::string& configFolder, const QString& report) {
  if (report.isEmpty()) {
    platform.dialogs.message(owner, QStringLiteral("Load a report first: its kinds are what is exported."));
    return nullptr;
  }
  const QString database = choosers.addToFile(owner, QStringLiteral("SQLite databases (*.db *.sqlite);;All Files (*)"),
                                              QFileInfo(report).absolutePath());
  if (database.isEmpty()) return nullptr;
  std::optional<core::CounterTypes> types;
  try {
    types = core::loadCounterTypes(QFile::encodeName(platform.files.programDir()).toStdString());
  } catch (const std::exception& e) {
    platform.dialogs.message(owner, QString::fromStdString(e.what()));
    return nullptr;
  }
  auto* dialog =
      new DatabaseExportDialog(QFile::encodeName(report).toStdString(), QFile::encodeName(database).toStdString(),
                               configFolder, std::move(*types), owner);
  dialog->show();
  dialog->start();
  return dialog;
}

}  // namespace tarvolin::ui
