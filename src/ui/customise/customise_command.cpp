#include "ui/customise/customise_command.h"

#include "ui/customise/customise_dialog.h"

namespace tarvolin::ui {

bool runCustomise(core::SharedState& shared, core::Report& report, platform::Platform& platform,
                  const std::string& configFolder, QWidget* owner) {
  shared.cfgdone = false;
  CustomiseDialog dialog(shared, report, platform, configFolder, owner);
  dialog.exec();
  return shared.cfgdone;
}

}  // namespace tarvolin::ui
