#include "ui/about/web_link.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace tarvolin::ui {

namespace {

/// The project's own page: the link's caption and the address it opens.
const QString kWebAddress = QStringLiteral("https://tarvolin.org");
const QColor kLinkTextColor(0, 0, 192);
const QColor kLinkHighlightColor(192, 255, 255);
constexpr double kLinkPointSize = 8.25;

}  // namespace

WebLinkController::WebLinkController(QWidget& frame, QLabel& label, platform::Platform& platform)
    : QObject(&label), m_frame(frame), m_label(label), m_platform(platform) {
  m_buttonFace = m_frame.palette().color(QPalette::Button);
  m_label.setText(kWebAddress);
  QFont f = m_label.font();
  f.setPointSizeF(kLinkPointSize);
  f.setUnderline(true);
  m_label.setFont(f);
  m_label.setCursor(Qt::PointingHandCursor);
  m_label.setAutoFillBackground(true);
  QPalette p = m_label.palette();
  p.setColor(QPalette::WindowText, kLinkTextColor);
  p.setColor(QPalette::Window, m_buttonFace);
  m_label.setPalette(p);

  m_label.setMouseTracking(true);
  m_frame.setMouseTracking(true);
  m_label.installEventFilter(this);
  m_frame.installEventFilter(this);
}

bool WebLinkController::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove: {
      if (watched == &m_label) {
        setHighlighted(true);
      } else if (watched == &m_frame) {
        // Moves over a child that ignores them (the label, a button) reach the frame too.
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (m_frame.childAt(pos) == nullptr) setHighlighted(false);
      }
      break;
    }
    case QEvent::MouseButtonPress:
      if (watched == &m_label) m_pressed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
      break;
    case QEvent::MouseButtonRelease:
      if (watched == &m_label) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const bool click =
            m_pressed && mouse->button() == Qt::LeftButton && m_label.rect().contains(mouse->position().toPoint());
        m_pressed = false;
        if (click) openLink();
      }
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void WebLinkController::setHighlighted(bool on) {
  if (on == m_highlighted) return;
  m_highlighted = on;
  QPalette p = m_label.palette();
  p.setColor(QPalette::Window, on ? kLinkHighlightColor : m_buttonFace);
  m_label.setPalette(p);
}

void WebLinkController::openLink() {
  if (!m_platform.launcher.openUrl(kWebAddress))
    m_platform.dialogs.message(m_label.window(), QStringLiteral("Note: could not start browser"));
}

}  // namespace tarvolin::ui
