#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace tarvolin::platform {

/// File dialogs that choose several files to open, or a file to write. Modal.
class FileChoosers {
 public:
  virtual ~FileChoosers() = default;
  /// Files chosen to open, several at once; empty on Cancel. `filter` and `startPath` as
  /// Dialogs::openFile.
  virtual QStringList openFiles(QWidget* parent, const QString& filter, const QString& startPath) = 0;
  /// A path to write to (the dialog asks before a file is replaced); empty on Cancel.
  virtual QString saveFile(QWidget* parent, const QString& filter, const QString& startPath) = 0;
  /// A file to add to, new or existing (the dialog does not ask before an existing one
  /// is chosen); empty on Cancel. By default as saveFile.
  virtual QString addToFile(QWidget* parent, const QString& filter, const QString& startPath) {
    return saveFile(parent, filter, startPath);
  }
};

/// The desktop's own file dialogs; lives for the whole run.
FileChoosers& systemFileChoosers();

}  // namespace tarvolin::platform
