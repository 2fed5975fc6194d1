// Controls, menus and layout of the main window.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

#include "platform/text_viewer.h"
#include "platform/twips.h"
#include "ui/about/about_box.h"
#include "ui/about/help_file.h"
#include "ui/about/web_link.h"
#include "ui/chart/chart_command.h"
#include "ui/derived/derived_columns_option.h"
#include "ui/derived/statements_window.h"
#include "ui/lockwait/blocking_window.h"
#include "ui/main/database_export.h"
#include "ui/main/file_rules.h"
#include "ui/main/grid_command_handler.h"
#include "ui/main/kind_tabs.h"
#include "ui/main/main_window.h"
#include "ui/main/time_window_bar.h"
#include "ui/result/column_commands.h"
#include "ui/summary/summary_command.h"

namespace tarvolin::ui {

namespace {

/// Client area at design, in twips.
constexpr int kClientWidth = 10905;
constexpr int kClientHeight = 6930;
constexpr int kStatusHeight = 255;
/// Room between Label1's caption and the link.
constexpr int kLeadGap = 60;

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QString& tip) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QLatin1String(name));
  b->setToolTip(tip);
  return b;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption = {}) {
  auto* l = new QLabel(caption, parent);
  l->setObjectName(QLatin1String(name));
  return l;
}

}  // namespace

int MainWindow::px(int twips) const { return platform::twipsToPixels(twips, m_dpi.x); }

void MainWindow::buildControls() {
  auto* client = new QWidget(this);
  setCentralWidget(client);

  m_lbltype = makeLabel(client, "lbltype");
  QFont bold = m_lbltype->font();
  bold.setBold(true);
  bold.setPointSize(12);
  m_lbltype->setFont(bold);
  platform::placeTwips(m_lbltype, 2400, 0, 5415, 255, m_dpi);

  m_lbltime = makeLabel(client, "lbltime");
  platform::placeTwips(m_lbltime, 8400, 0, 2775, 255, m_dpi);

  m_grd = new platform::GridView(m_store, client);
  m_grd->setObjectName(QStringLiteral("grd"));
  m_grd->setContextMenuPolicy(Qt::PreventContextMenu);  // the right release opens mensortt
  platform::placeTwips(m_grd, 240, kGridTop, 10215, 4215, m_dpi);
  m_kindTabs = new KindTabs(client);
  connect(m_kindTabs, &KindTabs::kindChosen, this, &MainWindow::chooseKind);
  m_timeBar = new TimeWindowBar(client);  // shown for a kind of several snapshots, taking the grid's top pixels

  m_frame1 = new QGroupBox(QStringLiteral("Select Snapshot File"), client);
  m_frame1->setObjectName(QStringLiteral("Frame1"));
  platform::placeTwips(m_frame1, 120, 5520, 10335, 1095, m_dpi);

  m_cmbfile = new QComboBox(m_frame1);
  m_cmbfile->setObjectName(QStringLiteral("cmbfile"));
  m_cmbfile->setEditable(true);
  m_cmbfile->setInsertPolicy(QComboBox::NoInsert);  // typing a path loads and adds nothing
  m_cmbfile->setDuplicatesEnabled(true);
  m_cmbfile->setCompleter(nullptr);
  platform::placeTwips(m_cmbfile, 120, 240, 3615, 315, m_dpi);

  m_selectFile = makeButton(m_frame1, "Command2", QStringLiteral("Select File"),
                            QStringLiteral("Sekect the Snapshot file to be displayed"));
  platform::placeTwips(m_selectFile, 3840, 240, 1095, 375, m_dpi);
  m_mostRecent = makeButton(m_frame1, "comrec", QStringLiteral("Most Recent"),
                            QStringLiteral("Use the most recent snapshot file"));
  platform::placeTwips(m_mostRecent, 5160, 240, 1095, 375, m_dpi);
  m_comref = makeButton(m_frame1, "comref", QStringLiteral("Reload"), QStringLiteral("Reload the file"));
  platform::placeTwips(m_comref, 6480, 240, 1095, 375, m_dpi);
  m_comview = makeButton(m_frame1, "comview", QStringLiteral("View File"),
                         QStringLiteral("View the snapshot file using Notepad"));
  platform::placeTwips(m_comview, 7800, 240, 1095, 375, m_dpi);
  m_comstop = makeButton(m_frame1, "comstop", QStringLiteral("Stop"), QStringLiteral("Stop loading the file"));
  platform::placeTwips(m_comstop, 9120, 240, 855, 375, m_dpi);
  m_comstop->setEnabled(false);

  QLabel* linkLead = makeLabel(m_frame1, "Label1", webLinkLead(configuredWebAddress()));
  linkLead->setAlignment(Qt::AlignRight | Qt::AlignVCenter);  // the caption leads into the link beside it
  linkLead->setIndent(px(kLeadGap));
  platform::placeTwips(linkLead, 120, 720, 8055, 255, m_dpi);
  QLabel* webLink = makeLabel(m_frame1, "Label2");
  platform::placeTwips(webLink, 8160, 720, 1935, 255, m_dpi);
  new WebLinkController(*m_frame1, *webLink, m_platform);  // caption, colours, hover and click

  m_statmsg = new QStatusBar(this);
  m_statmsg->setObjectName(QStringLiteral("statmsg"));
  m_statmsg->setSizeGripEnabled(true);
  m_statusText = new QLabel(m_statmsg);
  m_statusText->setObjectName(QStringLiteral("statmsgText"));
  m_statmsg->addWidget(m_statusText, 1);
  m_statmsg->setFixedHeight(std::max(px(kStatusHeight), m_statusText->sizeHint().height()));
  setStatusBar(m_statmsg);

  // Keyboard focus order: grd, then the file box and its buttons as they stand, left to right.
  setTabOrder(m_grd, m_cmbfile);
  setTabOrder(m_cmbfile, m_selectFile);
  setTabOrder(m_selectFile, m_mostRecent);
  setTabOrder(m_mostRecent, m_comref);
  setTabOrder(m_comref, m_comview);
  setTabOrder(m_comview, m_comstop);
  m_grd->setFocus();

  GridCommandHandler* commands = m_commands.get();
  connect(m_selectFile, &QPushButton::clicked, this, &MainWindow::selectFile);
  connect(m_cmbfile, &QComboBox::activated, this, &MainWindow::loadCurrentFile);
  connect(m_mostRecent, &QPushButton::clicked, this, &MainWindow::mostRecent);
  connect(m_comref, &QPushButton::clicked, this, &MainWindow::loadCurrentFile);
  connect(m_comview, &QPushButton::clicked, this,
          [this] { platform::run_notepad(m_cmbfile->currentText(), m_platform, this); });
  connect(m_comstop, &QPushButton::clicked, this, &MainWindow::stopLoad);
  connect(m_grd, &QTableView::clicked, commands, &GridCommandHandler::click);
  connect(m_grd, &QTableView::doubleClicked, commands, &GridCommandHandler::showDetail);
  connect(m_grd, &platform::GridView::mouseReleased, this, &MainWindow::gridMouseUp);
}

void MainWindow::buildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("menubar"));
  GridCommandHandler* commands = m_commands.get();
  // Each item is connected to `receiver`'s `slot`: a member function or a lambda.
  auto named = [](QAction* a, const char* name) {
    a->setObjectName(QLatin1String(name));
    return a;
  };
  auto topCommand = [&](const char* name, const QString& caption, auto* receiver, auto slot) {
    QAction* a = named(new QAction(caption, this), name);
    bar->addAction(a);
    connect(a, &QAction::triggered, receiver, slot);
    return a;
  };
  auto dropDown = [&](const char* name, const QString& caption) {
    auto* m = new QMenu(caption, this);
    m->setObjectName(QLatin1String(name));
    m->menuAction()->setObjectName(QLatin1String(name));
    bar->addMenu(m);
    return m;
  };
  auto item = [&](QMenu* menu, const char* name, const QString& caption, auto* receiver, auto slot) {
    QAction* a = named(menu->addAction(caption), name);
    connect(a, &QAction::triggered, receiver, slot);
    return a;
  };

  QMenu* menfile = dropDown("menfile", QStringLiteral("&File"));
  m_tableActions << item(menfile, "menexportdb", QStringLiteral("Export to Database..."), this, [this] {
    exportToDatabase(this, m_platform, platform::systemFileChoosers(), m_loader.configFolder(), m_loadedPath);
  });
  topCommand("menclose", QStringLiteral("&Close"), this, &QWidget::close);
  QMenu* menedit = dropDown("menedit", QStringLiteral("&Edit"));
  item(menedit, "mencopy", QStringLiteral("Copy Cells"), commands, &GridCommandHandler::copyCells)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  m_kindTabs->attachMenu(*dropDown("menview", QStringLiteral("&View")));  // the kinds of the file, as the tabs
  m_tableActions << topCommand("mencfg", QStringLiteral("Customi&ze"), this, &MainWindow::customise);
  topCommand("menprint", QStringLiteral("&Print Screen"), commands, &GridCommandHandler::printScreen);
  QMenu* menop = dropDown("menop", QStringLiteral("&Options"));
  QAction* menlock = named(menop->addAction(QStringLiteral("Lock First Col?")), "menlock");
  menlock->setCheckable(true);
  menlock->setChecked(m_shared.lockcol);
  connect(menlock, &QAction::triggered, commands,
          [commands, menlock] { menlock->setChecked(commands->lockFirstCol()); });
  m_tableActions << menlock;  // the load reads the option when it lays out the table
  m_tableActions << item(menop, "mencompare", QStringLiteral("Compare With Earlier Snapshot..."), this,
                         &MainWindow::compareWithEarlier);  // the later report is the one loaded
  m_tableActions.last()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  m_tableActions << item(menop, "mencomparewindow", QStringLiteral("Compare From/To"), this,
                         &MainWindow::compareWindowEnds);
  m_tableActions << item(menop, "menchart", QStringLiteral("Chart Over Time..."), this, [this] {
    chartOverTime(this, m_platform, platform::systemFileChoosers(), m_loader.configFolder(), m_loadedPath, m_store,
                  m_derived->shown(), timeWindow());
  });
  m_menlockwaits = item(menop, "menlockwaits", QStringLiteral("Show Lock Waits"), this, [this] {
    showLockWaits(this, m_platform, m_loader.configFolder(), m_loadedPath, kindOnShow(), timeWindow());
  });
  m_mendeadlocks = item(menop, "mendeadlocks", QStringLiteral("Show Deadlocks"), this,
                        [this] { showDeadlocks(this, m_platform, m_loader.configFolder(), m_loadedPath); });
  m_menshapes = item(menop, "menshapes", QStringLiteral("Statements by Shape"), this, [this] {
    showStatementsByShape(this, m_platform, m_loader.configFolder(), m_loadedPath, m_derived->definitions(this),
                          kindOnShow(), timeWindow());
  });
  m_tableActions << item(menop, "mensummary", QStringLiteral("Capture Summary"), this, [this] {
    showCaptureSummary(
        this, m_platform, platform::systemFileChoosers(), m_loader.configFolder(), m_loadedPath,
        [this](const std::string& kind, const std::string& key) { showEntry(kind, key); }, timeWindow());
  });
  m_menderived = named(menop->addAction(QStringLiteral("Derived Columns")), "menderived");
  m_menderived->setCheckable(true);
  connect(m_menderived, &QAction::triggered, this, &MainWindow::switchDerivedColumns);
  enableViewsOfKind(true);
  buildColumnMenus(menedit, menop);
  QMenu* menhelp = dropDown("menhelp", QStringLiteral("&Help"));
  item(menhelp, "menh", QStringLiteral("&Help"), this, [this] { showHelp(m_platform, this); });
  item(menhelp, "menabout", QStringLiteral("&About"), this, [this] { showAboutBox(m_platform, this); });

  // The grid's pop-up menu: a top-level menu that is never in the menu bar.
  m_tableMenu = new QMenu(QStringLiteral("sort"), this);
  m_tableMenu->setObjectName(QStringLiteral("mensortt"));
  const QString sortCaptions[] = {QStringLiteral("Sort Ascending"), QStringLiteral("Sort Descending")};
  const core::SortOrder orders[] = {core::SortOrder::Ascending, core::SortOrder::Descending};
  for (int i = 0; i < 2; ++i) {
    const core::SortOrder order = orders[i];
    QAction* a = item(m_tableMenu, "mensort", sortCaptions[i], commands, [commands, order] { commands->sort(order); });
    a->setProperty("index", i);
    m_tableActions << a;
  }
  m_tableMenu->addSeparator()->setObjectName(QStringLiteral("xw"));
  item(m_tableMenu, "mendetail", QStringLiteral("Show Row Detail"), commands, &GridCommandHandler::showDetail);
  item(m_tableMenu, "menshowcell", QStringLiteral("Show Cell Value"), commands, &GridCommandHandler::showCellValue);
  item(m_tableMenu, "mencopycell", QStringLiteral("Copy Cell Value"), commands, &GridCommandHandler::copyCellValue);
  item(m_tableMenu, "mencolwider", QStringLiteral("Make Column Wider"), commands, &GridCommandHandler::makeColumnWider);
  m_tableMenu->addSeparator()->setObjectName(QStringLiteral("xx"));
  m_tableActions << item(m_tableMenu, "menexcl", QStringLiteral("Exclude lines like this"), commands,
                         &GridCommandHandler::excludeLikeThis);
  m_tableActions << item(m_tableMenu, "menexclnone", QStringLiteral("Show all lines"), commands,
                         &GridCommandHandler::showAllLines);
  m_tableMenu->addSeparator()->setObjectName(QStringLiteral("x"));
  m_tableActions << item(m_tableMenu, "menlike", QStringLiteral("Reload with only lines like this"), commands,
                         &GridCommandHandler::reloadLikeThis);
  m_tableActions << item(m_tableMenu, "menlike2", QStringLiteral("As above but prompt for value"), commands,
                         &GridCommandHandler::reloadLikePrompt);
}

void MainWindow::buildColumnMenus(QMenu* menedit, QMenu* menop) {
  ColumnCommands* columns = m_columns.get();
  QAction* find = menedit->addAction(QStringLiteral("Find Column..."), columns, &ColumnCommands::findColumn);
  find->setObjectName(QStringLiteral("menfindcol"));
  find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  QAction* next = menedit->addAction(QStringLiteral("Find Next Column"), columns, &ColumnCommands::findNext);
  next->setObjectName(QStringLiteral("menfindnext"));
  next->setShortcut(QKeySequence(Qt::Key_F3));
  QAction* hide = menop->addAction(QStringLiteral("Hide Constant Columns"));
  hide->setObjectName(QStringLiteral("menhideconst"));
  hide->setCheckable(true);
  connect(hide, &QAction::toggled, columns, &ColumnCommands::setHideConstant);
  m_tableActions << find << next << hide;  // not while a load fills the grid: its names come last
}

void MainWindow::applyLayout() {
  // Outer size: frame, title bar and menu bar included.
  const QRect outer = frameGeometry();
  const int bar = m_timeBar->shownHeight();  // the From/To pair takes the grid's top pixels
  const MainLayout now{platform::pixelsToTwips(m_grd->width(), m_dpi.x),
                       platform::pixelsToTwips(m_grd->height() + m_kindTabs->shownHeight() + bar, m_dpi.y),
                       platform::pixelsToTwips(m_frame1->y(), m_dpi.y)};
  const MainLayout next = layoutRule(platform::pixelsToTwips(outer.width(), m_dpi.x),
                                     platform::pixelsToTwips(outer.height(), m_dpi.y), now);
  const int tabs = m_kindTabs->shownHeight();  // the row of kinds takes the grid's lowest pixels
  if (next.gridWidth != now.gridWidth || next.gridHeight != now.gridHeight)
    m_grd->resize(px(next.gridWidth), px(next.gridHeight) - tabs - bar);
  m_kindTabs->placeUnder(*m_grd);
  m_timeBar->resize(m_grd->width(), m_timeBar->height());
  if (next.frameTop != now.frameTop) m_frame1->move(m_frame1->x(), px(next.frameTop));
}

void MainWindow::sizeToDesign() {
  resize(platform::twipsSize(kClientWidth, kClientHeight, m_dpi) + QSize(0, menuBar()->sizeHint().height()));
}

}  // namespace tarvolin::ui
