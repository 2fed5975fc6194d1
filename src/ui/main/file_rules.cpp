#include "ui/main/file_rules.h"

#include <QCollator>
#include <exception>

namespace tarvolin::ui {

namespace {

/// The start of the time scale files are compared against (30 December 1899, 00:00:00).
QDateTime zeroDateTime() { return QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0)); }

/// `format` with every unquoted run of `field` letters of length `from` written `to`
/// instead ("t" to "" drops the time zone, "yy" to "yyyy" widens the year). Blanks left
/// at either end are trimmed.
QString rewriteField(const QString& format, QChar field, qsizetype from, const QString& to) {
  QString out;
  bool quoted = false;
  for (qsizetype i = 0; i < format.size();) {
    qsizetype run = 1;
    while (i + run < format.size() && format[i + run] == format[i]) ++run;
    if (format[i] == u'\'' && run % 2 == 1) quoted = !quoted;
    const bool replace = !quoted && format[i] == field && run == from;
    out += replace ? to : format.mid(i, run);
    i += run;
  }
  return out.trimmed();
}

}  // namespace

QString fileTimeText(const QDateTime& time, const QLocale& locale) {
  const QString date = rewriteField(locale.dateFormat(QLocale::ShortFormat), u'y', 2, QStringLiteral("yyyy"));
  const QString clock = rewriteField(locale.timeFormat(QLocale::LongFormat), u't', 1, QString());
  return locale.toString(time, date + u' ' + clock);
}

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
