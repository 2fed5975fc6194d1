#pragma once

#include <QTest>

#include "ui/main/main_window.h"

namespace tarvolin::test {

/// Waits until `w` has shown the end of its load, if one runs; false on QTest's timeout.
inline bool loaded(const ui::MainWindow& w) {
  return QTest::qWaitFor([&w] { return !w.loading(); });
}

}  // namespace tarvolin::test
