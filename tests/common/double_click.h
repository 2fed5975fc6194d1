#pragma once

#include <QTest>

namespace tarvolin::test {

/// A left double click at `pos` of `widget` as a real mouse delivers it: press, release,
/// press, double click, release (QTest::mouseDClick sends the double click event alone).
inline void doubleClick(QWidget* widget, QPoint pos) {
  QTest::mouseClick(widget, Qt::LeftButton, {}, pos);
  QTest::mousePress(widget, Qt::LeftButton, {}, pos);
  QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
  QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
}

}  // namespace tarvolin::test
