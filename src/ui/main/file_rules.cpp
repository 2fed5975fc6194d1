#include "ui/main/file_rules.h"

#include <QCollator>
#include <exception>

namespace tarvolin::ui {

namespace {

/// The start of the time scale files are compared against (30 December 1899, 00:00:00).
QDateTime zeroDateTime() { return QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0)); }

}  // namespace

bool appendsToList(const QString& boxText, const QString& path) {
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  return collator.compare(boxText, path) > 0;
}

NewestFile newestFile(const QString& folder, platform::FileSystem& files) {
  NewestFile result;
  QString lastName;
  QDateTime best = zeroDateTime();
  try {
    const QStringList names = files.listFiles(folder);
    for (const QString& name : names) {
      lastName = name;
      const QString path = folder + QLatin1Char('/') + name;
      const QDateTime t = files.modified(path);
      if (t > best) {
        best = t;
        result.path = path;
      }
    }
  } catch (const std::exception& e) {
    result.path.clear();
    result.error = QString::fromStdString(e.what()) + QLatin1Char(' ') + lastName;
  }
  return result;
}

MainLayout layoutRule(int outerWidth, int outerHeight, const MainLayout& now) {
  MainLayout next = now;
  if (outerWidth - 630 >= 0) next.gridWidth = outerWidth - 630;
  if (outerHeight - 2500 >= 0) next.gridHeight = outerHeight - 2500;
  next.frameTop = kGridTop + next.gridHeight + 100;
  return next;
}

}  // namespace tarvolin::ui
