#include "ui/detail/entry_detail_window.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/twips.h"
#include "platform/user_settings.h"

namespace tarvolin::ui {

namespace {

// Design size of the client area and places of the controls in it, in twips.
constexpr int kClientWidth = 9090;
constexpr int kClientHeight = 6975;
constexpr int kGridLeft = 120;
constexpr int kGridTop = 120;
constexpr int kGridWidth = 8655;
constexpr int kGridHeight = 6255;
constexpr int kButtonTop = 6480;
constexpr int kButtonHeight = 375;
constexpr int kExitLeft = 960;
constexpr int kExitWidth = 855;
constexpr int kPrevLeft = 3480;
constexpr int kNextLeft = 6240;
constexpr int kStepWidth = 735;

// Layout on resize: what the outer size keeps free beside and below the grid.
constexpr int kWidthMargin = 400;
constexpr int kHeightMargin = 1800;
constexpr int kButtonGap = 400;

// The detail grid's own layout.
constexpr int kDetailColWidth = 4000;

const QString kTitle = QStringLiteral("Entry Detail");
/// Where "Hide Empty Values" is remembered.
const QString kHideEmptyKey = QStringLiteral("EntryDetail/hideEmptyValues");

std::string_view cellOrEmpty(const core::GridStore& g, int32_t row, int col) {
  if (row < 0 || row >= g.rows() || col < 0 || col >= g.cols()) return {};
  return g.textUnchecked(row, col);
}

}  // namespace

EntryDetailWindow::EntryDetailWindow(const core::GridStore& mainGrid, platform::Platform& platform, QWidget* owner)
    : QDialog(owner), m_main(mainGrid), m_platform(platform) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(kTitle);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);

  // The detail grid: a fixed header row and no fixed column, so either column can
  // hold the current cell.
  m_detail.setCols(2);
  m_detail.setRows(2);
  m_detail.setFixedRows(1);
  m_detail.setFixedCols(0);
  m_detail.setRow(1);
  m_detail.takeChanges();

  buildControls();
  buildMenus();

  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(0);
  box->setMenuBar(m_menuBar);
  box->addWidget(m_client);
  resize(platform::twipsSize(kClientWidth, kClientHeight, platform::screenDpi(this)) +
         QSize(0, m_menuBar->sizeHint().height()));
  layoutControls();
}

void EntryDetailWindow::buildControls() {
  m_client = new QWidget(this);
  m_client->setObjectName(QStringLiteral("client"));

  auto makeButton = [this](const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, m_client);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);  // no default button: Enter acts only on a focused button
    return b;
  };
  m_exit = makeButton("Command1", QStringLiteral("Exit"));
  m_prev = makeButton("comprev", QStringLiteral("Prev"));
  m_next = makeButton("comnext", QStringLiteral("Next"));
  m_grid = new platform::GridView(m_detail, m_client);
  m_grid->setObjectName(QStringLiteral("grd"));
  m_grid->setSelectionMode(QAbstractItemView::SingleSelection);  // one cell at a time
  m_grid->setTabKeyNavigation(false);                            // Tab leaves the grid for the next control
  m_grid->setContextMenuPolicy(Qt::NoContextMenu);               // the Edit pop-up opens on a right release

  setTabOrder(m_exit, m_prev);
  setTabOrder(m_prev, m_next);
  setTabOrder(m_next, m_grid);
  m_exit->setFocus();

  connect(m_exit, &QPushButton::clicked, this, &EntryDetailWindow::close);
  connect(m_prev, &QPushButton::clicked, this, &EntryDetailWindow::comprevClick);
  connect(m_next, &QPushButton::clicked, this, &EntryDetailWindow::comnextClick);
  connect(m_grid, &platform::GridView::mouseReleased, this, [this](Qt::MouseButton button, const QPoint& pos) {
    if (button == Qt::RightButton) openEditMenu(pos);
  });
}

void EntryDetailWindow::buildMenus() {
  m_menuBar = new QMenuBar(this);
  auto* menclose = m_menuBar->addAction(QStringLiteral("&Close"));
  menclose->setObjectName(QStringLiteral("menclose"));
  menclose->setParent(this);
  auto* menprint = m_menuBar->addAction(QStringLiteral("&Print Screen"));
  menprint->setObjectName(QStringLiteral("menprint"));
  menprint->setParent(this);
  connect(menclose, &QAction::triggered, this, &EntryDetailWindow::close);
  connect(menprint, &QAction::triggered, this, &EntryDetailWindow::menprintClick);

  // "Edit" stays off the menu bar: it is only the grid's pop-up.
  m_menedit = new QMenu(QStringLiteral("Edit"), this);
  m_menedit->setObjectName(QStringLiteral("menedit"));
  auto* mencopy = new QAction(QStringLiteral("&Copy"), this);
  mencopy->setObjectName(QStringLiteral("mencopy"));
  mencopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  mencopy->setShortcutContext(Qt::WindowShortcut);
  auto* menshow = new QAction(QStringLiteral("Show cell value"), this);
  menshow->setObjectName(QStringLiteral("menshow"));
  m_menedit->addAction(mencopy);
  m_menedit->addAction(menshow);
  m_menedit->addSeparator();
  auto* menhideempty = m_menedit->addAction(QStringLiteral("Hide Empty Values"));
  menhideempty->setObjectName(QStringLiteral("menhideempty"));
  menhideempty->setCheckable(true);
  m_hideEmpty = platform::userSettings().value(kHideEmptyKey, false).toBool();
  menhideempty->setChecked(m_hideEmpty);
  connect(menhideempty, &QAction::toggled, this, &EntryDetailWindow::menhideemptyClick);
  addAction(mencopy);  // so Ctrl+C works while the pop-up is closed
  connect(mencopy, &QAction::triggered, this, &EntryDetailWindow::mencopyClick);
  connect(menshow, &QAction::triggered, this, &EntryDetailWindow::menshowClick);
}

void EntryDetailWindow::set_rowno(int32_t r) { rowno = r; }

void EntryDetailWindow::set_buttons() {
  m_prev->setEnabled(rowno > 1);
  m_next->setEnabled(rowno < m_main.rows() - 1);
}

void EntryDetailWindow::get_data() {
  m_detail.setRedraw(false);
  m_detail.clear();
  m_detail.setCols(2);
  const int c = m_main.cols();
  std::vector<int> shown;  // main-grid columns listed
  for (int i = 0; i < c; ++i)
    if (!m_hideEmpty || !cellOrEmpty(m_main, rowno, i).empty()) shown.push_back(i);
  m_detail.setRows(static_cast<int>(shown.size()) + 1);
  for (int col = 0; col < 2; ++col) {
    m_detail.setColWidth(col, kDetailColWidth);
    m_detail.setColAlignment(col, core::Alignment::LeftCenter);
  }
  m_detail.setText(0, 0, "Attribute");
  m_detail.setText(0, 1, "Value");
  for (size_t i = 0; i < shown.size(); ++i) {
    m_detail.setText(static_cast<int>(i) + 1, 0, cellOrEmpty(m_main, 0, shown[i]));
    m_detail.setText(static_cast<int>(i) + 1, 1, cellOrEmpty(m_main, rowno, shown[i]));
  }
  const QString name = entryName();
  setWindowTitle(name.isEmpty() ? kTitle : kTitle + QStringLiteral(" - ") + name);
  m_detail.setRedraw(true);
  m_grid->gridModel()->flush();  // show the entry now, not on the next event-loop turn
}

void EntryDetailWindow::showEvent(QShowEvent* event) {
  if (!m_loaded) {
    m_loaded = true;
    set_buttons();
    get_data();
    m_exit->setFocus();
  }
  QDialog::showEvent(event);
}

void EntryDetailWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  layoutControls();
}

void EntryDetailWindow::layoutControls() {
  if (isMinimized()) return;
  // Outer size in twips: frame, title bar and menu bar included.
  const QSize outer = frameGeometry().size();
  const platform::Dpi dpi = platform::screenDpi(this);
  const int w = platform::pixelsToTwips(outer.width(), dpi.x);
  const int h = platform::pixelsToTwips(outer.height(), dpi.y);
  // A window narrower or lower than the margins leaves the grid empty rather than negative.
  const int gridWidth = std::max(w - kWidthMargin, 0);
  const int gridHeight = std::max(h - kHeightMargin, 0);
  const int buttonTop = kGridTop + gridHeight + kButtonGap;
  platform::placeTwips(m_grid, kGridLeft, kGridTop, gridWidth, gridHeight, dpi);
  platform::placeTwips(m_exit, kExitLeft, buttonTop, kExitWidth, kButtonHeight, dpi);
  platform::placeTwips(m_prev, kPrevLeft, buttonTop, kStepWidth, kButtonHeight, dpi);
  platform::placeTwips(m_next, kNextLeft, buttonTop, kStepWidth, kButtonHeight, dpi);
}

void EntryDetailWindow::keyPressEvent(QKeyEvent* event) {
  // Enter clicks the focused button and does nothing elsewhere: the window has no default button.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button != nullptr && button->isEnabled())
      button->click();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void EntryDetailWindow::comnextClick() {
  if (rowno == INT32_MAX) return;
  ++rowno;
  set_buttons();
  get_data();
}

void EntryDetailWindow::comprevClick() {
  if (rowno == INT32_MIN) return;
  --rowno;
  set_buttons();
  get_data();
}

QString EntryDetailWindow::currentCellText() const {
  const std::string_view text = cellOrEmpty(m_detail, m_detail.row(), m_detail.col());
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void EntryDetailWindow::mencopyClick() {
  if (const auto error = m_platform.clipboard.setText(currentCellText())) m_platform.dialogs.message(this, *error);
}

void EntryDetailWindow::menshowClick() { m_platform.dialogs.message(this, currentCellText()); }

void EntryDetailWindow::menprintClick() {
  try {
    m_platform.printer.print(m_client->grab().toImage());
  } catch (...) {
    // Printing ignores every failure.
  }
}

void EntryDetailWindow::openEditMenu(QPoint globalPos) {
  m_grid->setFocus(Qt::MouseFocusReason);
  m_menedit->popup(globalPos);
}

void EntryDetailWindow::menhideemptyClick(bool on) {
  m_hideEmpty = on;
  platform::userSettings().setValue(kHideEmptyKey, on);
  get_data();
}

QString EntryDetailWindow::entryName() const {
  if (rowno < 1 || rowno >= m_main.rows()) return {};
  for (int i = 0; i < m_main.cols(); ++i) {
    const std::string_view value = m_main.text(rowno, i);
    if (value.empty() || m_main.filledUnchecked(rowno, i)) continue;  // a lock's owner does not name the lock
    const std::string_view name = m_main.text(0, i);
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) + ' ' +
           QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
  }
  return {};
}

void showRowDetail(const core::GridStore& mainGrid, int row, platform::Platform& platform, QWidget* owner) {
  EntryDetailWindow window(mainGrid, platform, owner);
  window.set_rowno(row);
  window.exec();
}

}  // namespace tarvolin::ui
