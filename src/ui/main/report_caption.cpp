#include "ui/main/report_caption.h"

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <algorithm>

#include "core/values/snapshot_time.h"
#include "ui/main/file_rules.h"

namespace tarvolin::ui {

ReportCaption::ReportCaption(QWidget& window, QLabel& time, QComboBox& box)
    : m_window(window), m_time(time), m_box(box) {}

void ReportCaption::fileTime(const QDateTime& modified) {
  const QDate day = modified.date();
  const QTime clock = modified.time();
  const core::ClockReading at{day.year(), day.month(), day.day(), clock.hour(), clock.minute(), clock.second()};
  showTime(QString::fromStdString(core::stampText(at)) + QStringLiteral(" (file time)"));
}

void ReportCaption::showTime(const QString& text) {
  m_time.setText(text);
  m_time.setToolTip(text);
  // Wider to the left, where the heading leaves room, rather than cut at the window's edge.
  const int width = std::max(m_time.width(), m_time.sizeHint().width());
  const QWidget* parent = m_time.parentWidget();
  const int right = parent != nullptr ? std::min(m_time.geometry().right() + 1, parent->width()) : m_time.x() + width;
  if (width != m_time.width() || right - width < m_time.x())
    m_time.setGeometry(std::min(m_time.x(), right - width), m_time.y(), width, m_time.height());
}

void ReportCaption::loaded(const QString& path, const std::string& own) {
  const QString name = QFileInfo(path).fileName();
  m_window.setWindowTitle(name.isEmpty() ? kTitle : kTitle + QStringLiteral(" - ") + name);
  if (!own.empty()) showTime(QString::fromStdString(own));
  if (QLineEdit* edit = m_box.lineEdit()) edit->end(false);  // the file's name, not the start of its folder
}

}  // namespace tarvolin::ui
