#pragma once

#include <QColor>
#include <QObject>

#include "platform/platform.h"

class QLabel;
class QWidget;

namespace tarvolin::ui {

/// The project's web address, from the build setting TARVOLIN_WEB_URL; empty when the
/// build names none.
[[nodiscard]] QString configuredWebAddress();

/// Label1's caption, which leads to where the link goes: the web site for an `address`,
/// else the user guide.
[[nodiscard]] QString webLinkLead(const QString& address);

/// The web link `Label2` inside the frame `Frame1`. Attaching it sets the label's caption
/// to the web address (without one, to a caption naming the user guide) in dark blue,
/// underlined, 8.25 point. The pointer over the label lights its background up (pale
/// blue-green); only the pointer over the free area of the frame (not over any of its
/// child controls) returns it to the button-face colour; leaving for another control or
/// out of the window keeps it. A left click opens the address through Launcher::openUrl
/// and shows "Note: could not start browser" when that fails; without an address it
/// opens the user guide as Help does.
///
/// Works by event filters and mouse tracking on the label and the frame; the label
/// must be a direct child of the frame. The controller is a child of the label and is
/// deleted with it.
class WebLinkController : public QObject {
  Q_OBJECT

 public:
  /// `platform` must outlive the label.
  WebLinkController(QWidget& frame, QLabel& label, platform::Platform& platform,
                    QString address = configuredWebAddress());

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void setHighlighted(bool on);
  void openLink();

  QWidget& m_frame;
  QLabel& m_label;
  platform::Platform& m_platform;
  QString m_address;
  QColor m_buttonFace;
  bool m_highlighted = false;
  bool m_pressed = false;
};

}  // namespace tarvolin::ui
