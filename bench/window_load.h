// What the benchmarks of the main window share: waiting for its load, which runs on a thread.
#pragma once

#include <QCoreApplication>

#include "ui/main/main_window.h"

namespace bench {

/// Runs the event loop until `form` has shown the end of its load (rows, status, kinds),
/// then once more for what that queued (the view's flush).
inline void waitForLoad(const tarvolin::ui::MainWindow& form) {
  while (form.loading()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  QCoreApplication::processEvents();
}

}  // namespace bench
