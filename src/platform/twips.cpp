#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tarvolin::platform {

double screenDpi(const QWidget* widget) {
  if (widget != nullptr)
    if (const QScreen* s = widget->screen()) return s->logicalDotsPerInchX();
  if (QGuiApplication::instance() != nullptr)
    if (const QScreen* s = QGuiApplication::primaryScreen()) return s->logicalDotsPerInchX();
  return 96.0;
}

}  // namespace tarvolin::platform
