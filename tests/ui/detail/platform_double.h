#pragma once

#include <QImage>
#include <QList>
#include <QStringList>
#include <optional>

#include "platform/platform.h"

namespace tarvolin::detail_test {

/// Records every message; answers no prompt.
class RecordingDialogs : public platform::Dialogs {
 public:
  void message(QWidget* parent, const QString& text) override;
  QString input(QWidget* parent, const QString& prompt, const QString& initial) override;
  QString openFile(QWidget* parent, const QString& filter, const QString& startPath) override;

  QStringList messages;
};

/// Records what is put on it, or fails with `failure` when that is set.
class RecordingClipboard : public platform::Clipboard {
 public:
  std::optional<QString> setText(const QString& text) override;

  QStringList texts;
  std::optional<QString> failure;
};

/// Records the printed images; throws after recording when `fail` is set.
class RecordingPrinter : public platform::Printer {
 public:
  void print(const QImage& image) override;

  QList<QImage> images;
  bool fail = false;
};

class NullLauncher : public platform::Launcher {
 public:
  std::optional<QString> startDetached(const QString&, const QStringList&) override { return std::nullopt; }
  std::optional<QString> openTextFile(const QString&) override { return std::nullopt; }
  bool openUrl(const QString&) override { return true; }
  QString findProgram(const QStringList&) override { return {}; }
  bool fileExists(const QString&) override { return false; }
};

class NullFileSystem : public platform::FileSystem {
 public:
  QString programDir() override { return {}; }
  QStringList listFiles(const QString&) override { return {}; }
  QDateTime modified(const QString&) override { return {}; }
};

class NullKeyValueStore : public platform::KeyValueStore {
 public:
  std::optional<Value> query(const QString&, const QString&) override { return std::nullopt; }
};

/// Every double together, bundled as a platform::Platform.
struct PlatformDouble {
  RecordingDialogs dialogs;
  RecordingClipboard clipboard;
  NullLauncher launcher;
  NullFileSystem files;
  RecordingPrinter printer;
  NullKeyValueStore keys;
  platform::Platform platform{dialogs, clipboard, launcher, files, printer, keys};
};

}  // namespace tarvolin::detail_test
