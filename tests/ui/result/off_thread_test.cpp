// Reads run off the window's thread: the window's thread goes on, errors come back.
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <stdexcept>
#include <thread>

#include "ui/result/off_thread.h"

using namespace tarvolin;

class OffThreadTest : public QObject {
  Q_OBJECT

 private slots:
  void workRunsElsewhereWhileTheWindowsThreadGoesOn() {
    std::atomic<bool> release = false;
    int ticks = 0;
    QTimer tick;  // the window's thread answers while the work runs: the work waits for it
    connect(&tick, &QTimer::timeout, [&] { release = ++ticks >= 3; });
    tick.start(1);
    const std::thread::id worker = ui::readOffThread(nullptr, QStringLiteral("Reading"), [&] {
      while (!release) std::this_thread::yield();
      return std::this_thread::get_id();
    });
    tick.stop();
    QVERIFY(worker != std::this_thread::get_id());
    QVERIFY(ticks >= 3);
  }

  void whatTheWorkThrowsComesBack() {
    bool thrown = false;
    try {
      ui::runOffThread(nullptr, QString(), [] { throw std::runtime_error("no such file"); });
    } catch (const std::runtime_error& e) {
      thrown = std::string(e.what()) == "no such file";
    }
    QVERIFY(thrown);
  }
};

QTEST_MAIN(OffThreadTest)
#include "off_thread_test.moc"
