#pragma once

#include <QString>
#include <string>

class QComboBox;
class QDateTime;
class QLabel;
class QWidget;

namespace tarvolin::ui {

/// What the main window says about the report on show: the file's name in the window's
/// title ("Tarvolin - View DB2 Snapshot - locks.txt"), beside the heading the report's own
/// capture's span ("15:35 – 16:35, 61 snapshots", core::captureSpanText) or its one
/// "Snapshot timestamp", or else the file's time as a report prints a stamp marked
/// "(file time)", and the end of a
/// long path in the file box. The widgets must outlive this object.
class ReportCaption {
 public:
  ReportCaption(QWidget& window, QLabel& time, QComboBox& box);

  /// The load opened the file, last changed at `modified`.
  void fileTime(const QDateTime& modified);
  /// A load of `path` (as the file box holds it) has finished; `own` is the span of the
  /// kind on show's snapshots (core::captureSpanText), or empty.
  void loaded(const QString& path, const std::string& own);

  /// The title with no report on show.
  static inline const QString kTitle = QStringLiteral("Tarvolin - View DB2 Snapshot");

 private:
  void showTime(const QString& text);

  QWidget& m_window;
  QLabel& m_time;
  QComboBox& m_box;
};

}  // namespace tarvolin::ui
