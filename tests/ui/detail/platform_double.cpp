#include "platform_double.h"

#include <stdexcept>

namespace tarvolin::detail_test {

void RecordingDialogs::message(QWidget*, const QString& text) { messages.append(text); }

QString RecordingDialogs::input(QWidget*, const QString&, const QString&) { return {}; }

QString RecordingDialogs::openFile(QWidget*, const QString&, const QString&) { return {}; }

std::optional<QString> RecordingClipboard::setText(const QString& text) {
  if (failure) return failure;
  texts.append(text);
  return std::nullopt;
}

void RecordingPrinter::print(const QImage& image) {
  images.append(image);
  if (fail) throw std::runtime_error("No printer is installed");
}

}  // namespace tarvolin::detail_test
