#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "core/grid/constant_columns.h"
#include "core/grid/grid_store.h"
#include "platform/grid_view.h"
#include "platform/platform.h"

class QWidget;

namespace tarvolin::ui {

/// The commands for reports with many columns: Edit > "Find Column..." with F3 for its next
/// match, and Options > "Hide Constant Columns". The matching and the constant rule are the
/// core's (core::findColumn, core::hideConstantColumns); this class asks for the name, moves
/// the current cell, keeps what it hid so that turning the option off gives it back, and
/// shows the outcome in the host's status line. The option lasts for the session only: no
/// configuration file is written. Everything given to the constructor must outlive it.
class ColumnCommands : public QObject {
  Q_OBJECT

 public:
  /// What the commands need of the window they serve.
  struct Host {
    QWidget& owner;                                  ///< owner of the input box
    std::function<void(const QString&)> showStatus;  ///< sets the status line at once
    /// The grid's view, or none: a match is scrolled to with the first column in place
    /// (GridView::revealColumn), and hiding or showing columns keeps the current cell where
    /// it stands (GridView::restorePlace). Must outlive the commands.
    platform::GridView* view = nullptr;
  };

  ColumnCommands(core::GridStore& grid, platform::Dialogs& dialogs, Host host);

  /// "Find Column...": asks for part of a variable's name and goes to its first shown match
  /// to the right of the current column (core::findColumn). Cancel or an empty answer does
  /// nothing. The current row stays; from the header row the first data row becomes current.
  /// With a view, the match is brought in beside the first column, its title whole.
  void findColumn();
  /// F3: the next match of the last name asked for; asks first when none was asked for yet.
  void findNext();
  /// "Hide Constant Columns" on or off. On hides the constant columns of the grid as it is
  /// and shows "N constant columns hidden"; off gives them their widths back. The current
  /// cell stays where it stands on screen, on the nearest shown column when its own goes.
  void setHideConstant(bool on);
  [[nodiscard]] bool hideConstant() const { return m_hideConstant; }
  /// After every load and reload of the grid: the load has set every width anew, so what
  /// was hidden is forgotten and, with the option on, the constant columns are hidden again.
  /// Returns the status to add to the load's own, or empty when the option is off.
  [[nodiscard]] std::string loaded();
  /// The grid on show goes away to be shown again later (the kind cache): what the option
  /// hid in it, or nothing when the option is off. The grid then on show has nothing hidden.
  [[nodiscard]] std::optional<core::HiddenColumns> putAway();
  /// A grid put away shows again, `hidden` what putAway() gave for it: with the option on,
  /// its constant columns are hidden (already, or now); with it off, what was hidden shows.
  void shownAgain(std::optional<core::HiddenColumns> hidden);

 private:
  void goToMatch();
  /// Hides (on) or shows again (off) the constant columns.
  void switchConstant(bool on);

  core::GridStore& m_grid;
  platform::Dialogs& m_dialogs;
  Host m_host;
  std::string m_part;  ///< the name last asked for
  bool m_hideConstant = false;
  core::HiddenColumns m_hidden;
};

}  // namespace tarvolin::ui
