#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/derived/column_plan.h"
#include "core/derived/derived_columns.h"
#include "core/grid/grid_store.h"

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

  /// The definitions, read at the first use and again when the working folder's file changed
  /// (so that a formula being written shows at the next load). Bad lines (or a missing
  /// shipped file) are told once per reading, in one message box over `owner`, and left out.
  /// The reference holds until the next call.
  const core::DerivedDefinitions& definitions(QWidget* owner);

  /// The definitions without telling their errors (for the places kept for their columns).
  const core::DerivedDefinitions& quietDefinitions() { return loaded(); }

  /// The derived columns the last apply() added to the grid (none when not chosen); valid
  /// until the next apply().
  [[nodiscard]] std::vector<const core::DerivedColumn*> shown() const { return core::pointersTo(m_shown); }

  /// The plan the last apply() made of the grid on show: before a reload it says whether the
  /// reload's filter is on a derived column (ColumnPlan::takeDerivedFilter), for apply().
  [[nodiscard]] const core::ColumnPlan& plan() const { return m_plan; }

  /// What the last apply() left for the grid on show: its plan and the columns it added.
  struct Applied {
    core::ColumnPlan plan;
    std::vector<core::DerivedColumn> shown;
  };
  /// A copy, kept with a grid put away (the kind cache) ...
  [[nodiscard]] Applied applied() const { return {m_plan, m_shown}; }
  /// ... and given back when that grid shows again, as if apply() had just made it.
  void restore(Applied applied) {
    m_plan = std::move(applied.plan);
    m_shown = std::move(applied.shown);
  }

  /// After a load: makes the loaded report's ColumnPlan and applies it. When chosen for the
  /// kind, its derived columns are added to the grid (those named as a variable that holds
  /// values left out, and told once), then only the rows that pass `derivedFilter` (a
  /// filter the previous plan took out of the load) are kept. When not chosen, the columns
  /// of their names (listed by the kind's configuration after Customise) are not shown.
  void apply(core::GridStore& grid, core::TextMeasure& measure, QWidget* owner,
             std::optional<core::ColumnFilter> derivedFilter = std::nullopt);

 private:
  platform::Platform& m_platform;
  std::string m_configFolder;
  /// The definitions, read at the first call (and when the working folder's file changed)
  /// without telling their errors.
  const core::DerivedDefinitions& loaded();
  /// The modification time of the working folder's file, or nothing when there is none.
  [[nodiscard]] std::optional<std::filesystem::file_time_type> ownFileTime() const;

  std::optional<core::DerivedDefinitions> m_definitions;
  std::optional<std::filesystem::file_time_type> m_ownTime;  ///< of the working folder's file as read
  std::vector<std::string> m_errors;                         ///< not told yet
  /// Tells, once each, the derived columns left out for a variable of their name.
  void tellClashes(const std::vector<std::string>& clashes, QWidget* owner);

  std::set<std::string> m_toldClashes;
  core::ColumnPlan m_plan;
  std::vector<core::DerivedColumn> m_shown;  ///< copies: the definitions may be read again
};

}  // namespace tarvolin::ui
