#pragma once

#include <QStringList>
#include <deque>
#include <functional>

#include "platform/platform.h"

namespace tarvolin::testing {

/// Dialogs that record what was shown and answer input boxes from a queue (empty text, as for
/// Cancel, when the queue is empty).
class DialogsDouble : public platform::Dialogs {
 public:
  void message(QWidget* parent, const QString& text) override;
  QString input(QWidget* parent, const QString& prompt, const QString& initial) override;
  QString openFile(QWidget* parent, const QString& filter, const QString& startPath) override;

  QStringList messages;
  QStringList prompts;
  QStringList initials;
  std::deque<QString> answers;
};

/// Every service answers "nothing happened"; dialogs are recorded.
struct PlatformDouble {
  PlatformDouble();
  PlatformDouble(const PlatformDouble&) = delete;
  PlatformDouble& operator=(const PlatformDouble&) = delete;

  DialogsDouble dialogs;
  struct : platform::Clipboard {
    std::optional<QString> setText(const QString&) override { return std::nullopt; }
  } clipboard;
  struct : platform::Launcher {
    std::optional<QString> startDetached(const QString&, const QStringList&) override { return std::nullopt; }
    std::optional<QString> openTextFile(const QString&) override { return std::nullopt; }
    bool openUrl(const QString&) override { return true; }
    QString findProgram(const QStringList&) override { return {}; }
    bool fileExists(const QString&) override { return false; }
  } launcher;
  struct : platform::FileSystem {
    QString programDir() override { return {}; }
    QStringList listFiles(const QString&) override { return {}; }
    QDateTime modified(const QString&) override { return {}; }
  } files;
  struct : platform::Printer {
    void print(const QImage&) override {}
  } printer;
  struct : platform::KeyValueStore {
    std::optional<Value> query(const QString&, const QString&) override { return std::nullopt; }
  } keys;
  platform::Platform platform;
};

}  // namespace tarvolin::testing
