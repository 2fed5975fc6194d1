#include "ui/result/off_thread.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <exception>
#include <thread>

namespace tarvolin::ui {

void runOffThread(QWidget* owner, const QString& what, const std::function<void()>& work) {
  QEventLoop loop;
  std::exception_ptr error;
  QProgressDialog box(what, QString(), 0, 0, owner);  // no button: the read is the command's own
  box.setObjectName(QStringLiteral("boxreading"));
  box.setWindowModality(Qt::ApplicationModal);
  box.setMinimumDuration(0);
  box.reset();  // hidden until the timer shows it
  QTimer showLater;
  showLater.setSingleShot(true);
  QObject::connect(&showLater, &QTimer::timeout, &box, [&box] { box.show(); });
  showLater.start(kShowAfterMs);
  std::thread thread([&] {
    try {
      work();
    } catch (...) {
      error = std::current_exception();
    }
    // Queued: quits the loop once it runs, even if the work ended before exec() began.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  thread.join();
  if (error) std::rethrow_exception(error);
}

}  // namespace tarvolin::ui
