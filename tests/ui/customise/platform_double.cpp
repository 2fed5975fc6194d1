#include "platform_double.h"

namespace tarvolin::testing {

void DialogsDouble::message(QWidget*, const QString& text) { messages << text; }

QString DialogsDouble::input(QWidget*, const QString& prompt, const QString& initial) {
  prompts << prompt;
  initials << initial;
  if (answers.empty()) return {};
  QString answer = answers.front();
  answers.pop_front();
  return answer;
}

QString DialogsDouble::openFile(QWidget*, const QString&, const QString&) { return {}; }

PlatformDouble::PlatformDouble() : platform{dialogs, clipboard, launcher, files, printer, keys} {}

}  // namespace tarvolin::testing
