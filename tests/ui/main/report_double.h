#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace tarvolin::test {

/// Writes a lock snapshot of `apps` applications with `locks` locks each to `path` and returns
/// `path` (empty when it can't be written): 5 + apps * (3 + 4 * locks) lines are read. Loaded,
/// application a is followed by its locks l, each a row of columns 0 to 6 (Application handle
/// 100 + a, Application name app<a>, Locks held, Lock Object Name (a + 1) * 7 * (10 * l + 1),
/// Object Type Row, Table Name T<l % 7>, Mode X). So 3 x 2 gives 9 rows from 38 lines:
///   row 1  100 app0 2             row 4  101 app1 2             row 7  102 app2 2
///   row 2  .. 7   Row T0 X        row 5  .. 14  Row T0 X        row 8  .. 21  Row T0 X
///   row 3  .. 77  Row T1 X        row 6  .. 154 Row T1 X        row 9  .. 231 Row T1 X
inline QString writeLockSnapshot(const QString& path, int apps, int locks) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return {};
  QByteArray out = "\n            Database Lock Snapshot\n\nDatabase name                 = ORDERS\n\n";
  for (int a = 0; a < apps; ++a) {
    out += "Application handle            = " + QByteArray::number(100 + a) + "\n";
    out += "Application name              = app" + QByteArray::number(a) + "\n";
    out += "Locks held                    = " + QByteArray::number(locks) + "\n";
    for (int l = 0; l < locks; ++l) {
      out += " Lock Object Name            = " + QByteArray::number((a + 1) * 7 * (l * 10 + 1)) + "\n";
      out += " Object Type                 = Row\n";
      out += " Table Name                  = T" + QByteArray::number(l % 7) + "\n";
      out += " Mode                        = X\n";
    }
  }
  f.write(out);
  return path;
}

/// Columns of a loaded lock snapshot written by writeLockSnapshot.
enum LockColumn { kHandle, kAppName, kLocksHeld, kLockObject, kObjectType, kTableName, kMode };

}  // namespace tarvolin::test
