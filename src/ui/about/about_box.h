#pragma once

#include <QDialog>

#include "platform/platform.h"
#include "platform/twips.h"

namespace tarvolin::ui {

/// The about box `frmAbout`: the program's icon, title, version from the build, a
/// description, a disclaimer, "OK" (default and cancel button) and "&System Info...".
/// Fixed size: a client area of 5730 by 3135 twips at the screen's DPI.
class AboutBox : public QDialog {
  Q_OBJECT

 public:
  /// `platform` must outlive the box; it starts the system information program and
  /// shows its messages.
  AboutBox(platform::Platform& platform, QWidget* owner);

 private:
  void buildControls(platform::Platform& platform, platform::Dpi dpi);
};

/// "&About" (`menabout`): opens a new about box modal over `owner` and returns at once;
/// the box deletes itself when it is closed (OK, Enter, Esc or the close box).
void showAboutBox(platform::Platform& platform, QWidget* owner);

}  // namespace tarvolin::ui
