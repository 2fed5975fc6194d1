#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/file_choosers.h"
#include "platform/platform.h"

namespace tarvolin::test {

/// Records every message and prompt; answers input boxes from `answers` (first in, first out; the
/// empty text, as for Cancel, once they run out) and the file dialog with `fileAnswer`.
class DialogsDouble : public platform::Dialogs {
 public:
  void message(QWidget* parent, const QString& text) override;
  QString input(QWidget* parent, const QString& prompt, const QString& initial) override;
  /// Throws std::runtime_error after recording when `fileDialogFails` is set.
  QString openFile(QWidget* parent, const QString& filter, const QString& startPath) override;
  QString openFileTitled(QWidget* parent, const QString& filter, const QString& startPath,
                         const QString& title) override {
    fileTitles << title;
    return openFile(parent, filter, startPath);
  }

  QStringList messages;
  QStringList prompts;   ///< prompt of every input box shown
  QStringList initials;  ///< initial text of every input box shown
  QStringList answers;   ///< what the next input boxes return, in order
  QString fileAnswer;    ///< what the file dialog returns
  bool fileDialogFails = false;
  QStringList startPaths;  ///< start path of every file dialog shown
  QStringList fileTitles;  ///< caption of every titled file dialog shown
};

/// Records every text put on it, or fails with `failure` (recording nothing) when that is set.
class ClipboardDouble : public platform::Clipboard {
 public:
  std::optional<QString> setText(const QString& text) override;
  [[nodiscard]] QString lastText() const { return texts.isEmpty() ? QString() : texts.last(); }

  QStringList texts;
  std::optional<QString> failure;
};

/// Records what would be started or opened. `startFails`, `viewerMissing` and `browserMissing`
/// make those calls fail; findProgram answers `program`.
class LauncherDouble : public platform::Launcher {
 public:
  std::optional<QString> startDetached(const QString& program, const QStringList& arguments) override;
  std::optional<QString> openTextFile(const QString& path) override;
  bool openUrl(const QString& url) override;
  QString findProgram(const QStringList& programs) override;

  QStringList started;      ///< program of every start, in order
  QStringList openedFiles;  ///< every path given to the text viewer
  QStringList urls;
  QString program;
  bool startFails = false;
  bool viewerMissing = false;
  bool browserMissing = false;
};

/// The program folder `dir` with a listing and file times prepared by the test.
class FileSystemDouble : public platform::FileSystem {
 public:
  QString programDir() override { return dir; }
  /// `names`; throws std::runtime_error when `folder` is not `dir`.
  QStringList listFiles(const QString& folder) override;
  /// The time in `times` of the path's name below `dir`; throws std::runtime_error for a name in
  /// `unreadable` or without a time.
  QDateTime modified(const QString& path) override;

  QString dir = QStringLiteral("/opt/tarvolin");
  QStringList names;                ///< listing order
  QHash<QString, QDateTime> times;  ///< by name
  QSet<QString> unreadable;         ///< names whose time can't be read
};

/// Keeps every printed image; throws std::runtime_error after keeping it when `fails` is set.
class PrinterDouble : public platform::Printer {
 public:
  void print(const QImage& image) override;

  QList<QImage> images;
  bool fails = false;
};

/// Answers the file choosers: `openAnswer` to open, `saveAnswer` to save to, `addAnswer` to
/// add to (empty, as for Cancel, unless set); records the start path of each in `startPaths`.
class FileChoosersDouble : public platform::FileChoosers {
 public:
  QStringList openFiles(QWidget* parent, const QString& filter, const QString& startPath) override;
  QString saveFile(QWidget* parent, const QString& filter, const QString& startPath) override;
  QString addToFile(QWidget* parent, const QString& filter, const QString& startPath) override;

  QStringList openAnswer;
  QString saveAnswer;
  QString addAnswer;
  QStringList startPaths;
};

/// Every double, bundled as the Platform a window receives.
struct PlatformDouble {
  DialogsDouble dialogs;
  ClipboardDouble clipboard;
  LauncherDouble launcher;
  FileSystemDouble files;
  PrinterDouble printer;
  platform::Platform platform{dialogs, clipboard, launcher, files, printer};
};

}  // namespace tarvolin::test
