#include "common/platform_doubles.h"

#include <stdexcept>

namespace tarvolin::test {

namespace {

QString keyName(const QString& keyPath, const QString& valueName) { return keyPath + QLatin1Char('|') + valueName; }

}  // namespace

void DialogsDouble::message(QWidget*, const QString& text) { messages << text; }

QString DialogsDouble::input(QWidget*, const QString& prompt, const QString& initial) {
  prompts << prompt;
  initials << initial;
  return answers.isEmpty() ? QString() : answers.takeFirst();
}

QString DialogsDouble::openFile(QWidget*, const QString&, const QString& startPath) {
  startPaths << startPath;
  if (fileDialogFails) throw std::runtime_error("The dialog failed");
  return fileAnswer;
}

std::optional<QString> ClipboardDouble::setText(const QString& text) {
  if (failure) return failure;
  texts << text;
  return std::nullopt;
}

std::optional<QString> LauncherDouble::startDetached(const QString& program, const QStringList&) {
  started << program;
  if (startFails) return QStringLiteral("cannot start");
  return std::nullopt;
}

std::optional<QString> LauncherDouble::openTextFile(const QString& path) {
  openedFiles << path;
  if (viewerMissing) return QStringLiteral("No text viewer was found to open ") + path;
  return std::nullopt;
}

bool LauncherDouble::openUrl(const QString& url) {
  urls << url;
  return !browserMissing;
}

QString LauncherDouble::findProgram(const QStringList&) { return program; }

bool LauncherDouble::fileExists(const QString& path) {
  existenceTests << path;
  return existing.contains(path);
}

QStringList FileSystemDouble::listFiles(const QString& folder) {
  if (folder != dir) throw std::runtime_error("Path not found");
  return names;
}

QDateTime FileSystemDouble::modified(const QString& path) {
  const QString name = path.mid(dir.size() + 1);
  if (unreadable.contains(name) || !times.contains(name)) throw std::runtime_error("Permission denied");
  return times.value(name);
}

void PrinterDouble::print(const QImage& image) {
  images << image;
  if (fails) throw std::runtime_error("No printer is installed");
}

std::optional<KeyValueStoreDouble::Value> KeyValueStoreDouble::query(const QString& keyPath, const QString& valueName) {
  queries << keyName(keyPath, valueName);
  const auto it = values.constFind(keyName(keyPath, valueName));
  if (it == values.constEnd()) return std::nullopt;
  return *it;
}

void KeyValueStoreDouble::set(const QString& keyPath, const QString& valueName, const QByteArray& bytes, int type) {
  values.insert(keyName(keyPath, valueName), Value{bytes, type});
}

}  // namespace tarvolin::test
