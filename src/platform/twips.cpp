#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tarvolin::platform {

QRect twipsRect(int left, int top, int width, int height, Dpi dpi) {
  return {twipsToPixels(left, dpi.x), twipsToPixels(top, dpi.y), twipsToPixels(width, dpi.x),
          twipsToPixels(height, dpi.y)};
}

QSize twipsSize(int width, int height, Dpi dpi) { return {twipsToPixels(width, dpi.x), twipsToPixels(height, dpi.y)}; }

void placeTwips(QWidget* w, int left, int top, int width, int height, Dpi dpi) {
  w->setGeometry(twipsRect(left, top, width, height, dpi));
}

double screenDpi(const QWidget* widget) {
  if (widget != nullptr)
    if (const QScreen* s = widget->screen()) return s->logicalDotsPerInchX();
  if (QGuiApplication::instance() != nullptr)
    if (const QScreen* s = QGuiApplication::primaryScreen()) return s->logicalDotsPerInchX();
  return 96.0;
}

}  // namespace tarvolin::platform
