#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <stdexcept>

#include "platform/platform.h"

namespace tarvolin::platform {

namespace {

class SystemDialogs : public Dialogs {
 public:
  void message(QWidget* parent, const QString& text) override {
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok, parent);
    box.exec();
  }
  QString input(QWidget* parent, const QString& prompt, const QString& initial) override {
    bool ok = false;
    QString answer = QInputDialog::getText(parent, kAppTitle, prompt, QLineEdit::Normal, initial, &ok);
    return ok ? answer : QString();
  }
  QString openFile(QWidget* parent, const QString& filter, const QString& startPath) override {
    return QFileDialog::getOpenFileName(parent, QString(), startPath, filter);
  }
  QString openFileTitled(QWidget* parent, const QString& filter, const QString& startPath,
                         const QString& title) override {
    return QFileDialog::getOpenFileName(parent, title, startPath, filter);
  }
};

class SystemClipboard : public Clipboard {
 public:
  std::optional<QString> setText(const QString& text) override {
    QClipboard* cb = QGuiApplication::clipboard();
    if (cb == nullptr) return QStringLiteral("The clipboard is not available");
    cb->clear();
    cb->setText(text);
    return std::nullopt;
  }
};

class SystemLauncher : public Launcher {
 public:
  std::optional<QString> startDetached(const QString& program, const QStringList& arguments) override {
    if (QProcess::startDetached(program, arguments)) return std::nullopt;
    return QStringLiteral("Could not start ") + program;
  }
  std::optional<QString> openTextFile(const QString& path) override {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path))) return std::nullopt;
    // No desktop association (or no desktop): try the usual editors.
    static const QStringList kEditors =
        QStringLiteral("gnome-text-editor gedit mousepad kate kwrite xed pluma featherpad leafpad").split(u' ');
    const QString editor = findProgram(kEditors);
    if (editor.isEmpty())
      return QStringLiteral("No text viewer was found to open ") + path +
             QStringLiteral(" (tried the desktop's default, gedit, mousepad, kate and others)");
    return startDetached(editor, {path});
  }
  bool openUrl(const QString& url) override { return QDesktopServices::openUrl(QUrl(url)); }
  QString findProgram(const QStringList& programs) override {
    for (const QString& p : programs) {
      const QString found = QStandardPaths::findExecutable(p);
      if (!found.isEmpty()) return found;
    }
    return {};
  }
};

class SystemFileSystem : public FileSystem {
 public:
  QString programDir() override { return QCoreApplication::applicationDirPath(); }
  QStringList listFiles(const QString& dir) override {
    QDir d(dir);
    if (!d.exists()) throw std::runtime_error("Path not found");
    return d.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
  }
  QDateTime modified(const QString& path) override {
    QFileInfo info(path);
    if (!info.exists()) throw std::runtime_error("File not found");
    QDateTime t = info.lastModified();
    if (!t.isValid()) throw std::runtime_error("Permission denied");
    return t.addMSecs(-t.time().msec());
  }
};

class SystemPrinter : public Printer {
 public:
  void print(const QImage& image) override {
    if (image.isNull() || QPrinterInfo::defaultPrinter().isNull()) return;
    QPrinter printer(QPrinterInfo::defaultPrinter());
    QPainter painter;
    if (!painter.begin(&printer)) return;
    const QRect page = painter.viewport();
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), size), image);
    painter.end();
  }
};

}  // namespace

Platform& systemPlatform() {
  static SystemDialogs dialogs;
  static SystemClipboard clipboard;
  static SystemLauncher launcher;
  static SystemFileSystem files;
  static SystemPrinter printer;
  static Platform platform{dialogs, clipboard, launcher, files, printer};
  return platform;
}

}  // namespace tarvolin::platform
