#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace tarvolin::platform {

/// The program's title: caption of every message and input box.
inline const QString kAppTitle = QStringLiteral("Tarvolin");

/// Message and input boxes, and the file-open dialog. All modal.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  /// Message box with an OK button and the program's title as its caption.
  virtual void message(QWidget* parent, const QString& text) = 0;
  /// Input box titled with the program's title; returns the empty text on Cancel.
  virtual QString input(QWidget* parent, const QString& prompt, const QString& initial = {}) = 0;
  /// File-open dialog. `filter` is a Qt name filter list ("Text (*.txt);;All (*)"; the
  /// first is selected). `startPath` is the last path chosen. Returns the chosen full
  /// path, or empty when nothing was chosen.
  virtual QString openFile(QWidget* parent, const QString& filter, const QString& startPath) = 0;
  /// openFile with `title` as the dialog's caption (a dialog without captions ignores it).
  virtual QString openFileTitled(QWidget* parent, const QString& filter, const QString& startPath,
                                 const QString& /*title*/) {
    return openFile(parent, filter, startPath);
  }
};

/// The system clipboard.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  /// Clears the clipboard and puts `text` on it as plain text. Returns the system's
  /// description of the error when that fails, nothing on success.
  virtual std::optional<QString> setText(const QString& text) = 0;
};

/// Starts other programs without waiting for them.
class Launcher {
 public:
  virtual ~Launcher() = default;
  /// Starts `program` with `arguments` detached. Returns the reason on failure.
  virtual std::optional<QString> startDetached(const QString& program, const QStringList& arguments) = 0;
  /// Opens the text file `path` with the desktop's default application for it, or when
  /// the desktop can't, with the first known text editor on the PATH; never waits for
  /// it. Returns the reason on failure.
  virtual std::optional<QString> openTextFile(const QString& path) = 0;
  /// Opens a web address in the default browser. Returns false on failure.
  virtual bool openUrl(const QString& url) = 0;
  /// Full path of the first of `programs` found on the PATH, or empty.
  virtual QString findProgram(const QStringList& programs) = 0;
};

/// Directory listing and file times.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  /// Folder that holds the program's executable.
  virtual QString programDir() = 0;
  /// Names (no folder) of the ordinary, non-hidden files in `dir`, in the order the
  /// file system returns them. Throws std::runtime_error with the reason on failure.
  virtual QStringList listFiles(const QString& dir) = 0;
  /// Last-modified local time of `path`, to the second. Throws std::runtime_error
  /// with the system's description when it can't be read.
  virtual QDateTime modified(const QString& path) = 0;
};

/// The default printer.
class Printer {
 public:
  virtual ~Printer() = default;
  /// Prints `image` on one page of the default printer; every error is ignored.
  virtual void print(const QImage& image) = 0;
};

/// Every service a window needs of the platform. Not owned by the windows.
struct Platform {
  Dialogs& dialogs;
  Clipboard& clipboard;
  Launcher& launcher;
  FileSystem& files;
  Printer& printer;
};

/// The real services of this desktop, created on first use; live for the whole run.
Platform& systemPlatform();

}  // namespace tarvolin::platform
