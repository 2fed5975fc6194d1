#include "ui/customise/customise_dialog.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <algorithm>

#include "core/grid/grid.h"
#include "platform/twips.h"
#include "ui/customise/customise_model.h"

namespace tarvolin::ui {

namespace {

const QString kMovePrompt = QStringLiteral("Move to after entry number");

// Design size of the client area and places of the controls in it, in twips.
constexpr int kClientWidth = 8685;
constexpr int kClientHeight = 7305;
constexpr int kMargin = 240;
constexpr int kButtonHeight = 375;
constexpr int kSideButtonLeft = 7440;
constexpr int kSideButtonWidth = 1095;
constexpr int kBottomButtonTop = 6720;
constexpr int kBottomButtonWidth = 1215;
/// The list's Show? column, which a click or Space toggles.
constexpr int kShowColumn = 2;
constexpr int kColumnWidths[] = {600, 4000, 2000};

}  // namespace

CustomiseDialog::CustomiseDialog(core::SharedState& shared, core::Report& report, platform::Platform& platform,
                                 std::string configFolder, QWidget* owner)
    : QDialog(owner),
      m_shared(shared),
      m_report(report),
      m_configFolder(std::move(configFolder)),
      m_platform(platform),
      m_list(report.vars) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("Customise Display of \"") + QString::fromStdString(report.kindHeading) +
                 QLatin1Char('"'));
  m_dpi = platform::screenDpi(this);
  createControls();
  resize(platform::twipsSize(kClientWidth, kClientHeight, m_dpi));

  // The list opens with its current cell on the first variable row, yet with no row selected for
  // Up, Down and Move After until the user clicks or moves the current cell.
  if (m_model->rowCount() > 0)
    m_flexcols->selectionModel()->setCurrentIndex(m_model->index(0, 0), QItemSelectionModel::NoUpdate);
  connect(m_flexcols->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { flexcolsSelChange(current); });
  connect(m_flexcols, &QTableView::clicked, this, [this] { flexcolsClick(); });
  set_updown();
}

int CustomiseDialog::px(int twips, bool vertical) const {
  return platform::twipsToPixels(twips, vertical ? m_dpi.y : m_dpi.x);
}

QPushButton* CustomiseDialog::addButton(const char* name, const QString& caption, int left, int top, int width) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(QLatin1String(name));
  platform::placeTwips(button, left, top, width, kButtonHeight, m_dpi);
  return button;
}

void CustomiseDialog::createControls() {
  m_model = new CustomiseModel(m_list, this);
  m_flexcols = new QTableView(this);
  m_flexcols->setObjectName(QStringLiteral("flexcols"));
  platform::placeTwips(m_flexcols, kMargin, kMargin, 6975, 6255, m_dpi);
  m_flexcols->setModel(m_model);
  m_flexcols->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_flexcols->setSelectionMode(QAbstractItemView::SingleSelection);
  m_flexcols->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_flexcols->setTabKeyNavigation(false);  // Tab leaves the list for the next control
  m_flexcols->setWordWrap(false);
  m_flexcols->verticalHeader()->hide();
  m_flexcols->verticalHeader()->setMinimumSectionSize(1);
  m_flexcols->verticalHeader()->setDefaultSectionSize(
      std::max(px(core::kDefaultRowHeight, true), m_flexcols->fontMetrics().height() + 2));
  QHeaderView* header = m_flexcols->horizontalHeader();
  header->setSectionsClickable(false);
  header->setHighlightSections(false);
  header->setStretchLastSection(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setSectionResizeMode(QHeaderView::Fixed);
  // Each column at least as wide as its caption in the header's own font; the names column
  // gives up what the others take beyond their design widths, so the list keeps its width.
  int widths[std::size(kColumnWidths)];
  int total = 0;
  for (int c = 0; c < 3; ++c) {
    total += px(kColumnWidths[c]);
    widths[c] = std::max(px(kColumnWidths[c]), header->sectionSizeHint(c));
  }
  widths[1] = std::max(total - widths[0] - widths[2], header->sectionSizeHint(1));
  for (int c = 0; c < 3; ++c) m_flexcols->setColumnWidth(c, widths[c]);

  m_comup = addButton("comup", QStringLiteral("Up"), kSideButtonLeft, 240, kSideButtonWidth);
  m_comdown = addButton("comdown", QStringLiteral("Down"), kSideButtonLeft, 840, kSideButtonWidth);
  QPushButton* comok = addButton("comok", QStringLiteral("OK"), 2640, kBottomButtonTop, kBottomButtonWidth);
  m_comcan = addButton("comcan", QStringLiteral("Cancel"), 4200, kBottomButtonTop, kBottomButtonWidth);
  QPushButton* comafter = addButton("comafter", QStringLiteral("Move After"), kSideButtonLeft, 1320, kSideButtonWidth);
  QPushButton* comdall = addButton("comdall", QStringLiteral("Disp All"), kSideButtonLeft, 2400, kSideButtonWidth);
  QPushButton* comdnone = addButton("comdnone", QStringLiteral("Disp None"), kSideButtonLeft, 2880, kSideButtonWidth);
  comok->setDefault(true);

  QWidget* order[] = {m_flexcols, m_comup, m_comdown, comok, m_comcan, comafter, comdall, comdnone};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  m_flexcols->setFocus();
  m_flexcols->installEventFilter(this);

  connect(m_comup, &QPushButton::clicked, this, [this] { comupClick(); });
  connect(m_comdown, &QPushButton::clicked, this, [this] { comdownClick(); });
  connect(comafter, &QPushButton::clicked, this, [this] { comafterClick(); });
  connect(comdall, &QPushButton::clicked, this, [this] { comdallClick(); });
  connect(comdnone, &QPushButton::clicked, this, [this] { comdnoneClick(); });
  connect(comok, &QPushButton::clicked, this, [this] { comokClick(); });
  connect(m_comcan, &QPushButton::clicked, this, [this] { comcanClick(); });
}

void CustomiseDialog::keyPressEvent(QKeyEvent* event) {
  // Esc is the Cancel button's key; the close box alone closes without a handler.
  if (event->matches(QKeySequence::Cancel)) {
    m_comcan->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool CustomiseDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_flexcols || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->modifiers() & ~Qt::KeypadModifier) return false;
  if (key->key() == Qt::Key_Space) {
    m_model->rowsChanged(m_list.click(m_list.selrow(), kShowColumn));
    return true;
  }
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    comokClick();
    return true;
  }
  return false;
}

void CustomiseDialog::set_updown() {
  const UpDownState state = m_list.updown(selectedRowVisible());
  m_comdown->setEnabled(state.down);
  m_comup->setEnabled(state.up);
  if (state.scrollTop > 0)
    m_flexcols->scrollTo(m_model->index(state.scrollTop - 1, 0), QAbstractItemView::PositionAtTop);
}

bool CustomiseDialog::selectedRowVisible() const {
  if (m_list.selrow() == 0) return false;
  const QRect cell = m_flexcols->visualRect(m_model->index(m_list.selrow() - 1, 0));
  return cell.isValid() && m_flexcols->viewport()->rect().intersects(cell);
}

void CustomiseDialog::setCurrentRow(int row) {
  // Moving the current row from code leaves all scrolling to set_updown.
  const int column = std::max(0, m_flexcols->currentIndex().column());
  const bool autoScroll = m_flexcols->hasAutoScroll();
  m_flexcols->setAutoScroll(false);
  m_flexcols->selectionModel()->setCurrentIndex(m_model->index(row - 1, column),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  m_flexcols->setAutoScroll(autoScroll);
}

void CustomiseDialog::showMoved(RowSpan span) {
  if (span.empty()) return;
  m_model->rowsChanged(span);
  setCurrentRow(m_list.selrow());
  set_updown();
}

void CustomiseDialog::flexcolsClick() {
  const QModelIndex current = m_flexcols->currentIndex();
  m_model->rowsChanged(m_list.click(current.isValid() ? current.row() + 1 : 0, current.column()));
  set_updown();
}

void CustomiseDialog::flexcolsSelChange(const QModelIndex& current) {
  m_list.selChange(current.isValid() ? current.row() + 1 : 0);
  set_updown();
}

void CustomiseDialog::comupClick() { showMoved(m_list.up()); }

void CustomiseDialog::comdownClick() { showMoved(m_list.down()); }

void CustomiseDialog::comafterClick() {
  if (m_list.selrow() == 0) return;  // no variable row to move: nothing to ask
  const QString answer = m_platform.dialogs.input(this, kMovePrompt, QString());
  showMoved(m_list.moveAfter(answer.toStdString()));
}

void CustomiseDialog::comdallClick() { m_model->rowsChanged(m_list.dispAll()); }

void CustomiseDialog::comdnoneClick() { m_model->rowsChanged(m_list.dispNone()); }

void CustomiseDialog::comokClick() {
  if (const std::optional<std::string> failure = m_list.commit(m_report, m_configFolder))
    m_platform.dialogs.message(this, QString::fromStdString(*failure));
  m_shared.cfgdone = true;
  accept();
}

void CustomiseDialog::comcanClick() {
  m_shared.cfgdone = false;
  reject();
}

}  // namespace tarvolin::ui
