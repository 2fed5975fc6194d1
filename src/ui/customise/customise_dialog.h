#pragma once

#include <QDialog>

#include "core/read/report.h"
#include "core/read/shared_state.h"
#include "platform/platform.h"
#include "platform/twips.h"
#include "ui/customise/customise_list.h"

class QPushButton;
class QTableView;
class QModelIndex;

namespace tarvolin::ui {

class CustomiseModel;

/// The customise display dialog `Form4`: the variables of the kind on show, their order and their
/// switches. Works on its own list; only OK touches the table (written back by position, then
/// the kind's configuration file) and sets cfgdone true; Cancel sets cfgdone false; the close box
/// sets nothing. Controls sit at fixed places in twips converted at the screen's DPI.
class CustomiseDialog : public QDialog {
  Q_OBJECT

 public:
  /// Builds the list from `report.vars` and the title from `report.kindHeading`. Does not show
  /// itself. `shared`, `report` and `platform` must outlive the dialog.
  /// `configFolder`: where OK writes the kind's configuration file.
  CustomiseDialog(core::SharedState& shared, core::Report& report, platform::Platform& platform,
                  std::string configFolder, QWidget* owner = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  /// Space in the list toggles Show? of the selected row; Enter in it is OK.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createControls();
  QPushButton* addButton(const char* name, const QString& caption, int left, int top, int width);
  [[nodiscard]] int px(int twips, bool vertical = false) const;

  void set_updown();
  [[nodiscard]] bool selectedRowVisible() const;
  void setCurrentRow(int row);
  void showMoved(RowSpan span);

  void flexcolsClick();
  void flexcolsSelChange(const QModelIndex& current);
  void comupClick();
  void comdownClick();
  void comafterClick();
  void comdallClick();
  void comdnoneClick();
  void comokClick();
  void comcanClick();

  core::SharedState& m_shared;
  core::Report& m_report;
  std::string m_configFolder;
  platform::Platform& m_platform;
  CustomiseList m_list;
  CustomiseModel* m_model = nullptr;
  platform::Dpi m_dpi{96};
  QTableView* m_flexcols = nullptr;
  QPushButton* m_comup = nullptr;
  QPushButton* m_comdown = nullptr;
  QPushButton* m_comcan = nullptr;
};

}  // namespace tarvolin::ui
