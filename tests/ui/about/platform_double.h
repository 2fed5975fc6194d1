#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/platform.h"

namespace tarvolin::about_test {

/// Records every message; answers prompts with `answer`; the file dialog with `chosen`.
class DialogsDouble : public platform::Dialogs {
 public:
  void message(QWidget*, const QString& text) override { messages << text; }
  QString input(QWidget*, const QString&, const QString&) override { return answer; }
  QString openFile(QWidget*, const QString&, const QString&) override { return chosen; }

  QStringList messages;
  QString answer;
  QString chosen;
};

class ClipboardDouble : public platform::Clipboard {
 public:
  std::optional<QString> setText(const QString& t) override {
    text = t;
    return std::nullopt;
  }
  QString text;
};

/// Records what would be started; `startFails` and `urlFails` make those calls fail,
/// `existing` lists the files fileExists finds.
class LauncherDouble : public platform::Launcher {
 public:
  std::optional<QString> startDetached(const QString& program, const QStringList&) override {
    started << program;
    if (startFails) return QStringLiteral("cannot start");
    return std::nullopt;
  }
  std::optional<QString> openTextFile(const QString& path) override {
    textFiles << path;
    return std::nullopt;
  }
  bool openUrl(const QString& url) override {
    urls << url;
    return !urlFails;
  }
  QString findProgram(const QStringList&) override { return {}; }
  bool fileExists(const QString& path) override {
    existenceTests << path;
    return existing.contains(path);
  }

  QStringList started;
  QStringList textFiles;
  QStringList urls;
  QStringList existenceTests;
  QStringList existing;
  bool startFails = false;
  bool urlFails = false;
};

class FileSystemDouble : public platform::FileSystem {
 public:
  QString programDir() override { return dir; }
  QStringList listFiles(const QString&) override { return {}; }
  QDateTime modified(const QString&) override { return {}; }
  QString dir = QStringLiteral("/opt/tarvolin/bin");
};

class PrinterDouble : public platform::Printer {
 public:
  void print(const QImage&) override { ++pages; }
  int pages = 0;
};

/// A registry of (key path, value name) -> value; records every query.
class KeyValueStoreDouble : public platform::KeyValueStore {
 public:
  std::optional<Value> query(const QString& keyPath, const QString& valueName) override {
    queries << keyPath + QLatin1Char('|') + valueName;
    const auto it = values.constFind(keyPath + QLatin1Char('|') + valueName);
    if (it == values.constEnd()) return std::nullopt;
    return *it;
  }
  void set(const QString& keyPath, const QString& valueName, const QByteArray& bytes, int type) {
    values.insert(keyPath + QLatin1Char('|') + valueName, Value{bytes, type});
  }

  QHash<QString, Value> values;
  QStringList queries;
};

/// Every double bundled as the windows take them.
struct PlatformDouble {
  DialogsDouble dialogs;
  ClipboardDouble clipboard;
  LauncherDouble launcher;
  FileSystemDouble files;
  PrinterDouble printer;
  KeyValueStoreDouble keys;
  platform::Platform platform{dialogs, clipboard, launcher, files, printer, keys};
};

}  // namespace tarvolin::about_test
