#include "common/platform_doubles.h"

#include <stdexcept>

namespace tarvolin::test {

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

QStringList FileSystemDouble::listFiles(const QString& folder) {
  if (folder != dir) throw std::runtime_error("Path not found");
  return names;
}

QDateTime FileSystemDouble::modified(const QString& path) {
  const QString name = path.mid(dir.size() + 1);
  if (unreadable.contains(name) || !times.contains(name)) throw std::runtime_error("Permission denied");
  return times.value(name);
}

QStringList FileChoosersDouble::openFiles(QWidget*, const QString&, const QString& startPath) {
  startPaths << startPath;
  return openAnswer;
}

QString FileChoosersDouble::saveFile(QWidget*, const QString&, const QString& startPath) {
  startPaths << startPath;
  return saveAnswer;
}

QString FileChoosersDouble::addToFile(QWidget*, const QString&, const QString& startPath) {
  startPaths << startPath;
  return addAnswer;
}

void PrinterDouble::print(const QImage& image) {
  images << image;
  if (fails) throw std::runtime_error("No printer is installed");
}

}  // namespace tarvolin::test
