#include "ui/about/help_file.h"

#include <QFile>
#include <algorithm>

#include "core/read/shipped_files.h"
#include "platform/text_viewer.h"

namespace tarvolin::ui {

QString userGuidePath(platform::FileSystem& files) {
  const auto places =
      core::shippedFilePlaces(QFile::encodeName(files.programDir()).toStdString(), "doc/tarvolin", "readme.txt");
  const auto found =
      std::find_if(places.begin(), places.end(), [](const auto& p) { return std::filesystem::exists(p); });
  return QFile::decodeName((found != places.end() ? *found : places.front()).c_str());
}

void showHelp(platform::Platform& platform, QWidget* parent) {
  platform::run_notepad(userGuidePath(platform.files), platform, parent);
}

}  // namespace tarvolin::ui
