#include "ui/about/about_box.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <utility>

#include "core/version.h"
#include "platform/twips.h"
#include "ui/about/program_icon.h"
#include "ui/about/sys_info.h"

namespace tarvolin::ui {

namespace {

constexpr int kClientWidth = 5730;
constexpr int kClientHeight = 3615;
constexpr int kIconPixels = 32;
constexpr double kLabelPoints = 8.25;

const QString kDescription = QStringLiteral("DB2 Snapshot Viewer");
const QString kDisclaimer = QStringLiteral(
    "Provided as is, without warranty of any kind. Tarvolin only reads report files; "
    "it never connects to a database.\nFree software under the GNU GPL, version 3 or later.");

/// `picIcon`: the program's 32 by 32 picture; a tab stop that shows a focus frame.
class IconPicture : public QWidget {
 public:
  explicit IconPicture(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::TabFocus); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect target(QPoint((width() - kIconPixels) / 2, (height() - kIconPixels) / 2),
                       QSize(kIconPixels, kIconPixels));
    programIcon().paint(&p, target);
    if (hasFocus()) {
      QStyleOptionFocusRect option;
      option.initFrom(this);
      style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
  }
};

/// `Line1`: the etched separator. The grey line lies on the widget's first pixel row,
/// the 2-pixel white line right under it (drawn on the same row it would hide the grey).
class EtchedLine : public QWidget {
 public:
  EtchedLine(QWidget* parent, int greyFrom, int greyTo, int whiteFrom, int whiteTo)
      : QWidget(parent), m_grey(greyFrom, greyTo), m_white(whiteFrom, whiteTo) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(QRect(QPoint(m_white.first - x(), 1), QPoint(m_white.second - x(), 2)), Qt::white);
    p.fillRect(QRect(QPoint(m_grey.first - x(), 0), QPoint(m_grey.second - x(), 0)), QColor(128, 128, 128));
  }

 private:
  std::pair<int, int> m_grey;   // in the box's pixels
  std::pair<int, int> m_white;  // in the box's pixels
};

QLabel* addLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

QPushButton* addButton(QWidget* parent, const char* name, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QLatin1String(name));
  return button;
}

}  // namespace

AboutBox::AboutBox(platform::Platform& platform, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("About ") + platform::kAppTitle);
  setWindowIcon(programIcon());
  setSizeGripEnabled(false);
  QFont f = font();
  f.setPointSizeF(kLabelPoints);
  setFont(f);
  buildControls(platform, platform::screenDpi(owner));
}

void AboutBox::buildControls(platform::Platform& platform, platform::Dpi dpi) {
  using platform::placeTwips;
  const auto px = [dpi](int twips) { return platform::twipsToPixels(twips, dpi.x); };
  setFixedSize(platform::twipsSize(kClientWidth, kClientHeight, dpi));

  auto* picIcon = new IconPicture(this);
  picIcon->setObjectName(QStringLiteral("picIcon"));
  placeTwips(picIcon, 240, 240, 540, 540, dpi);

  QLabel* lblTitle = addLabel(this, "lblTitle", platform::kAppTitle);
  QFont titleFont = font();
  titleFont.setFamilies({QStringLiteral("Comic Sans MS")});
  titleFont.setPointSize(18);
  titleFont.setBold(true);
  lblTitle->setFont(titleFont);
  placeTwips(lblTitle, 1080, 240, 2325, 480, dpi);

  QLabel* lblVersion = addLabel(
      this, "lblVersion", QStringLiteral("Version: %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch));
  placeTwips(lblVersion, 1050, 960, 3885, 225, dpi);

  QLabel* lblDescription = addLabel(this, "lblDescription", kDescription);
  placeTwips(lblDescription, 1080, 1440, 3795, 330, dpi);

  auto* line = new EtchedLine(this, px(90), px(5654), px(120), px(5669));
  line->setObjectName(QStringLiteral("Line1"));
  line->setGeometry(px(90), px(2040), px(5669) - px(90) + 1, 3);

  QLabel* lblDisclaimer = addLabel(this, "lblDisclaimer", kDisclaimer);
  lblDisclaimer->setWordWrap(true);
  placeTwips(lblDisclaimer, 240, 2160, 3855, 1185, dpi);

  QPushButton* cmdOK = addButton(this, "cmdOK", QStringLiteral("OK"));
  placeTwips(cmdOK, 4245, 2160, 1260, 345, dpi);
  cmdOK->setDefault(true);
  // Esc rejects the dialog, which closes it just as OK does: OK is also the cancel button.
  connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

  QPushButton* cmdSysInfo = addButton(this, "cmdSysInfo", QStringLiteral("&System Info..."));
  placeTwips(cmdSysInfo, 4260, 2640, 1245, 345, dpi);
  connect(cmdSysInfo, &QPushButton::clicked, this, [this, &platform] { StartSysInfo(platform, this); });

  setTabOrder(cmdOK, picIcon);
  setTabOrder(picIcon, cmdSysInfo);
  cmdOK->setFocus();
}

void showAboutBox(platform::Platform& platform, QWidget* owner) {
  auto* box = new AboutBox(platform, owner);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

}  // namespace tarvolin::ui
