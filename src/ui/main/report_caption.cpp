#include "ui/main/report_caption.h"

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

#include "core/report_time.h"
#include "ui/main/file_rules.h"

namespace tarvolin::ui {

ReportCaption::ReportCaption(QWidget& window, QLabel& time, QComboBox& box)
    : m_window(window), m_time(time), m_box(box) {}

void ReportCaption::fileTime(const QDateTime& modified) {
  m_time.setText(fileTimeText(modified, QLocale::system()) + QStringLiteral(" (file time)"));
}

void ReportCaption::loaded(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  m_window.setWindowTitle(name.isEmpty() ? kTitle : kTitle + QStringLiteral(" - ") + name);
  const std::string own = core::reportTimestamp(QFile::encodeName(path).toStdString());
  if (!own.empty()) m_time.setText(QString::fromStdString(own));
  m_time.setToolTip(m_time.text());
  if (QLineEdit* edit = m_box.lineEdit()) edit->end(false);  // the file's name, not the start of its folder
}

}  // namespace tarvolin::ui
