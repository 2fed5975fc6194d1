#include "ui/compare/snapshot_chooser.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>

namespace tarvolin::ui {

namespace {

QComboBox* snapshotBox(const std::vector<std::string>& times, const char* name, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QLatin1String(name));
  for (size_t i = 0; i < times.size(); ++i)
    box->addItem(QStringLiteral("%1: %2").arg(i + 1).arg(times[i].empty() ? QStringLiteral("(no timestamp)")
                                                                          : QString::fromStdString(times[i])));
  return box;
}

}  // namespace

SnapshotChooser::SnapshotChooser(const std::vector<std::string>& earlierTimes,
                                 const std::vector<std::string>& laterTimes, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("frmsnapshots"));
  setWindowTitle(QStringLiteral("Compare Snapshots"));
  m_earlier = snapshotBox(earlierTimes, "cmbearlier", this);
  m_later = snapshotBox(laterTimes, "cmblater", this);
  m_later->setCurrentIndex(m_later->count() - 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("Earlier snapshot:"), m_earlier);
  form->addRow(QStringLiteral("Later snapshot:"), m_later);
  form->addRow(buttons);
}

int SnapshotChooser::earlierIndex() const { return m_earlier->currentIndex(); }
int SnapshotChooser::laterIndex() const { return m_later->currentIndex(); }

}  // namespace tarvolin::ui
