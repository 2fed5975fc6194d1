#pragma once

#include <QTest>
#include <QWidget>
#include <QWindow>

namespace tarvolin::test {

/// A left double click at `pos` of `widget`, sent through its window as the window system
/// sends it (QTest::mouseDClick on a widget sends the double click event alone).
inline void doubleClick(QWidget* widget, QPoint pos) {
  QTest::mouseDClick(widget->window()->windowHandle(), Qt::LeftButton, {}, widget->mapTo(widget->window(), pos));
}

}  // namespace tarvolin::test
