#include "ui/about/web_link.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <utility>

#include "ui/about/help_file.h"

namespace tarvolin::ui {

namespace {

const QColor kLinkTextColor(0, 0, 192);
const QColor kLinkHighlightColor(192, 255, 255);
constexpr double kLinkPointSize = 8.25;

}  // namespace

QString configuredWebAddress() { return QStringLiteral(TARVOLIN_WEB_URL).trimmed(); }

QString webLinkLead(const QString& address) {
  return address.isEmpty()
             ? QStringLiteral("New to Tarvolin? The reports it reads and all its commands are explained in its")
             : QStringLiteral("For news, tips and the latest version of Tarvolin, visit the project's web site:");
}

WebLinkController::WebLinkController(QWidget& frame, QLabel& label, platform::Platform& platform, QString address)
    : QObject(&label), m_frame(frame), m_label(label), m_platform(platform), m_address(std::move(address)) {
  m_buttonFace = m_frame.palette().color(QPalette::Button);
  m_label.setText(m_address.isEmpty() ? QStringLiteral("User guide") : m_address);
  m_label.setToolTip(m_address);  // the whole address, where the label cuts it
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
  if (m_address.isEmpty()) {
    showHelp(m_platform, m_label.window());
    return;
  }
  if (!m_platform.launcher.openUrl(m_address))
    m_platform.dialogs.message(m_label.window(), QStringLiteral("Note: could not start browser"));
}

}  // namespace tarvolin::ui
