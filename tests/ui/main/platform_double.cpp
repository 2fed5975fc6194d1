#include "platform_double.h"

#include <stdexcept>

namespace tarvolin::test {

QString DialogsDouble::openFile(QWidget*, const QString& filter, const QString& startPath) {
  filters << filter;
  startPaths << startPath;
  if (fileDialogFails) throw std::runtime_error("The dialog failed");
  return fileAnswer;
}

QStringList FileSystemDouble::listFiles(const QString& folder) {
  if (listingFails || folder != dir) throw std::runtime_error("Path not found");
  return names;
}

QDateTime FileSystemDouble::modified(const QString& path) {
  timesAsked << path;
  const QString name = path.mid(dir.size() + 1);
  if (unreadable.contains(name) || !times.contains(name)) throw std::runtime_error("Permission denied");
  return times.value(name);
}

void PrinterDouble::print(const QImage& image) {
  ++pages;
  last = image;
  if (fails) throw std::runtime_error("No printer is installed");
}

}  // namespace tarvolin::test
