#pragma once

#include "core/read/report.h"
#include "core/read/shared_state.h"
#include "platform/platform.h"

class QWidget;

namespace tarvolin::ui {

/// The main window's Customize command up to the reload: sets cfgdone false, shows the customise
/// dialog of `report`'s variables modally over `owner` and returns cfgdone, true when the dialog was closed with OK
/// (the caller then reloads the report, even when nothing changed, and even when writing the file failed). Blocks in a
/// nested event loop until the dialog closes. The caller must not run it while a load is in progress.
bool runCustomise(core::SharedState& shared, core::Report& report, platform::Platform& platform,
                  const std::string& configFolder, QWidget* owner);

}  // namespace tarvolin::ui
