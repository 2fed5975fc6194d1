#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QStringList>
#include <functional>
#include <optional>

#include "platform/platform.h"

namespace tarvolin::test {

/// Records messages and answers the file dialog and input boxes from prepared values.
class DialogsDouble : public platform::Dialogs {
 public:
  void message(QWidget*, const QString& text) override { messages << text; }
  QString input(QWidget*, const QString& prompt, const QString&) override {
    prompts << prompt;
    return inputAnswer;
  }
  QString openFile(QWidget*, const QString& filter, const QString& startPath) override;

  QStringList messages;
  QStringList prompts;
  QString inputAnswer;
  QString fileAnswer;  ///< what the file dialog returns
  bool fileDialogFails = false;
  QStringList filters;     ///< filter of every file dialog shown
  QStringList startPaths;  ///< start path of every file dialog shown
};

/// Keeps the last text put on it, or fails with `failure` when that is set.
class ClipboardDouble : public platform::Clipboard {
 public:
  std::optional<QString> setText(const QString& t) override {
    ++calls;
    if (failure) return failure;
    text = t;
    return std::nullopt;
  }
  QString text;
  int calls = 0;
  std::optional<QString> failure;
};

/// Records what would have been started.
class LauncherDouble : public platform::Launcher {
 public:
  std::optional<QString> startDetached(const QString& program, const QStringList& arguments) override {
    started << (QStringList{program} + arguments);
    return std::nullopt;
  }
  std::optional<QString> openTextFile(const QString& path) override {
    opened << path;
    if (viewerMissing) return QStringLiteral("No text viewer was found to open ") + path;
    return std::nullopt;
  }
  bool openUrl(const QString& url) override {
    urls << url;
    return !browserMissing;
  }
  QString findProgram(const QStringList&) override { return {}; }
  bool fileExists(const QString&) override { return false; }

  QList<QStringList> started;
  QStringList opened;
  QStringList urls;
  bool viewerMissing = false;
  bool browserMissing = false;
};

/// A folder listing and file times prepared by the test.
class FileSystemDouble : public platform::FileSystem {
 public:
  QString programDir() override { return dir; }
  QStringList listFiles(const QString& folder) override;
  QDateTime modified(const QString& path) override;

  QString dir = QStringLiteral("/opt/tarvolin");
  QStringList names;                ///< listing order
  QHash<QString, QDateTime> times;  ///< by name
  QSet<QString> unreadable;         ///< names whose time can't be read
  bool listingFails = false;
  QStringList timesAsked;  ///< full paths, in order
};

/// Counts pages and keeps the last image; throws after counting when `fails` is set.
class PrinterDouble : public platform::Printer {
 public:
  void print(const QImage& image) override;
  int pages = 0;
  QImage last;
  bool fails = false;
};

class KeyValueStoreDouble : public platform::KeyValueStore {
 public:
  std::optional<Value> query(const QString&, const QString&) override { return std::nullopt; }
};

/// Every double, bundled as the Platform a window receives.
struct PlatformDouble {
  DialogsDouble dialogs;
  ClipboardDouble clipboard;
  LauncherDouble launcher;
  FileSystemDouble files;
  PrinterDouble printer;
  KeyValueStoreDouble keys;
  platform::Platform platform{dialogs, clipboard, launcher, files, printer, keys};
};

}  // namespace tarvolin::test
