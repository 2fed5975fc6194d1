#include "platform/file_choosers.h"

#include <QFileDialog>

namespace tarvolin::platform {

namespace {

class SystemFileChoosers : public FileChoosers {
 public:
  QStringList openFiles(QWidget* parent, const QString& filter, const QString& startPath) override {
    return QFileDialog::getOpenFileNames(parent, QString(), startPath, filter);
  }
  QString saveFile(QWidget* parent, const QString& filter, const QString& startPath) override {
    return QFileDialog::getSaveFileName(parent, QString(), startPath, filter);
  }
  QString addToFile(QWidget* parent, const QString& filter, const QString& startPath) override {
    return QFileDialog::getSaveFileName(parent, QString(), startPath, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
  }
};

}  // namespace

FileChoosers& systemFileChoosers() {
  static SystemFileChoosers choosers;
  return choosers;
}

}  // namespace tarvolin::platform
