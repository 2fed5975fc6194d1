#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace tarvolin::test {

/// Writes a small lock snapshot to `path` and returns `path` (empty when it can't be
/// written). Loaded, the grid reads (columns 0 to 6: Application handle, Application
/// name, Locks held, Lock Object Name, Object Type, Table Name, Mode):
///   row 1  100 app0 2             row 4  101 app1 2             row 7  102 app2 2
///   row 2  .. 7   Row T0 X        row 5  .. 14  Row T0 X        row 8  .. 21  Row T0 X
///   row 3  .. 77  Row T1 X        row 6  .. 154 Row T1 X        row 9  .. 231 Row T1 X
/// An application row has empty lock cells, a lock row empty application cells. 38 lines
/// are read for the 9 rows.
inline QString writeSmallLockReport(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return {};
  QByteArray out = "\n            Database Lock Snapshot\n\nDatabase name                 = ORDERS\n\n";
  for (int a = 0; a < 3; ++a) {
    out += "Application handle            = " + QByteArray::number(100 + a) + "\n";
    out += "Application name              = app" + QByteArray::number(a) + "\n";
    out += "Locks held                    = 2\n";
    for (int l = 0; l < 2; ++l) {
      out += " Lock Object Name            = " + QByteArray::number((a + 1) * 7 * (l * 10 + 1)) + "\n";
      out += " Object Type                 = Row\n";
      out += " Table Name                  = T" + QByteArray::number(l) + "\n";
      out += " Mode                        = X\n";
    }
  }
  f.write(out);
  return path;
}

/// Columns of the small lock report.
enum SmallReportColumn { kHandle, kAppName, kLocksHeld, kLockObject, kObjectType, kTableName, kMode };

}  // namespace tarvolin::test
