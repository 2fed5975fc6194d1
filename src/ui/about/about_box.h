#pragma once

#include <QDialog>
#include <QString>

#include "platform/platform.h"
#include "platform/twips.h"
#include "ui/about/sys_info.h"

class QLabel;
class QPushButton;

namespace tarvolin::ui {

/// "Version: " followed by the three numbers joined by ".", without leading zeros.
QString versionText(int major, int minor, int revision);

/// The about box `frmAbout`: the program's icon, title, version from the build, a
/// description, a disclaimer, "OK" (default and cancel button) and "&System Info...".
/// Fixed size: a client area of 5730 by 3135 twips at the screen's DPI.
class AboutBox : public QDialog {
  Q_OBJECT

 public:
  /// `platform` must outlive the box; it starts the system information tool and shows
  /// its messages.
  AboutBox(platform::Platform& platform, QWidget* owner);

 private:
  void buildControls(platform::Dpi dpi);

  SysInfo m_sysInfo;
};

/// "&About" (`menabout`): opens a new about box modal over `owner` and returns at once;
/// the box deletes itself when it is closed (OK, Enter, Esc or the close box).
AboutBox* showAboutBox(platform::Platform& platform, QWidget* owner);

}  // namespace tarvolin::ui
