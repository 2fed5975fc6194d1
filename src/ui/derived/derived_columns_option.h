#pragma once

#include <QString>
#include <optional>
#include <string>

#include "core/derived/derived_columns.h"
#include "core/grid_store.h"
#include "core/shared_state.h"
#include "platform/platform.h"

class QWidget;

namespace tarvolin::ui {

/// Options > "Derived Columns": whether the derived columns of a kind of report are added
/// to the main grid, remembered per kind in the user's settings (QSettings, key
/// "derivedColumns/KIND"; off until chosen), and the definitions they come from.
class DerivedColumnsOption {
 public:
  /// `configFolder`: the working folder whose derived_columns.txt is read after the shipped one.
  DerivedColumnsOption(platform::Platform& platform, std::string configFolder);

  [[nodiscard]] bool enabledFor(const std::string& kind) const;
  void setEnabledFor(const std::string& kind, bool on);

  /// The definitions, read at the first call. Bad lines (or a missing shipped file) are told
  /// once, in one message box over `owner`, and left out.
  const core::DerivedDefinitions& definitions(QWidget* owner);

  /// After a load: adds the kind's derived columns to the grid when chosen for the kind.
  void apply(core::SharedState& shared, core::GridStore& grid, core::TextMeasure& measure, QWidget* owner);

 private:
  platform::Platform& m_platform;
  std::string m_configFolder;
  std::optional<core::DerivedDefinitions> m_definitions;
};

}  // namespace tarvolin::ui
