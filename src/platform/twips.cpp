#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tarvolin::platform {

QSize twipsSize(int width, int height, Dpi dpi) { return {twipsToPixels(width, dpi.x), twipsToPixels(height, dpi.y)}; }

void placeTwips(QWidget* w, int left, int top, int width, int height, Dpi dpi) {
  w->setGeometry(twipsToPixels(left, dpi.x), twipsToPixels(top, dpi.y), twipsToPixels(width, dpi.x),
                 twipsToPixels(height, dpi.y));
}

Dpi screenDpi(const QWidget* widget) {
  const QScreen* s = widget != nullptr ? widget->screen() : nullptr;
  if (s == nullptr && QGuiApplication::instance() != nullptr) s = QGuiApplication::primaryScreen();
  if (s == nullptr) return {96.0};
  const auto orDefault = [](double dpi) { return dpi > 0 ? dpi : 96.0; };
  return {orDefault(s->logicalDotsPerInchX()), orDefault(s->logicalDotsPerInchY())};
}

}  // namespace tarvolin::platform
