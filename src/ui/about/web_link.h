#pragma once

#include <QColor>
#include <QObject>

#include "platform/platform.h"

class QLabel;
class QWidget;

namespace tarvolin::ui {

/// The web link `Label2` inside the frame `Frame1`. Attaching it sets the label's
/// caption to the project's web address in dark blue, underlined, 8.25 point. The
/// pointer over the label lights its background up (pale blue-green); only the pointer
/// over the free area of the frame (not over any of its child controls) returns it to
/// the button-face colour; leaving for another control or out of the window keeps it.
/// A left click opens the address through Launcher::openUrl and shows "Note: could not
/// start browser" when that fails.
///
/// Works by event filters and mouse tracking on the label and the frame; the label
/// must be a direct child of the frame. The controller is a child of the label and is
/// deleted with it.
class WebLinkController : public QObject {
  Q_OBJECT

 public:
  /// `platform` must outlive the label.
  WebLinkController(QWidget& frame, QLabel& label, platform::Platform& platform);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void setHighlighted(bool on);
  void openLink();

  QWidget& m_frame;
  QLabel& m_label;
  platform::Platform& m_platform;
  QColor m_buttonFace;
  bool m_highlighted = false;
  bool m_pressed = false;
};

}  // namespace tarvolin::ui
