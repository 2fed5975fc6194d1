#include "ui/main/time_window_bar.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QSignalBlocker>
#include <algorithm>

#include "core/values/snapshot_time.h"

namespace tarvolin::ui {

namespace {

/// A timestamp without its fraction of a second: "12/07/2026 16:07:00".
std::string toTheSecond(const std::string& stamp) {
  const size_t colon = stamp.rfind(':');
  const size_t point = colon == std::string::npos ? std::string::npos : stamp.find('.', colon);
  return point == std::string::npos ? stamp : stamp.substr(0, point);
}

/// How a snapshot is listed: its time of day, or "#N" where it has none.
std::string labelText(const std::vector<std::string>& times, size_t index) {
  const std::string& time = times[index];
  return time.empty() ? "#" + std::to_string(index + 1) : core::timeOfDay(time);
}

QString labelOf(const std::vector<std::string>& times, int index) {
  return QString::fromStdString(labelText(times, static_cast<size_t>(index)));
}

/// Letters of the longest label: what each list is sized for. Short labels stay in their
/// strings' own room, so this makes no copy on the heap.
int longestLabel(const std::vector<std::string>& times) {
  size_t longest = 0;
  for (size_t i = 0; i < times.size(); ++i) longest = std::max(longest, labelText(times, i).size());
  return static_cast<int>(longest);
}

}  // namespace

/// Both lists' items, made when shown: a long capture has tens of thousands of snapshots,
/// too many to make into strings at every tab switch.
class SnapshotLabels : public QAbstractListModel {
 public:
  SnapshotLabels(const std::vector<std::string>& times, QObject* parent) : QAbstractListModel(parent), m_times(times) {}

  /// Call around a change of the times listed.
  void beginChange() { beginResetModel(); }
  void endChange() { endResetModel(); }

  [[nodiscard]] int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(m_times.size());
  }
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount({}) || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return labelOf(m_times, index.row());
  }

 private:
  const std::vector<std::string>& m_times;
};

TimeWindowBar::TimeWindowBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("timewindow"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  m_from = new QComboBox(this);
  m_from->setObjectName(QStringLiteral("cmbfrom"));
  m_from->setToolTip(QStringLiteral("The first snapshot of the window the commands read"));
  m_to = new QComboBox(this);
  m_to->setObjectName(QStringLiteral("cmbto"));
  m_to->setToolTip(QStringLiteral("The last snapshot of the window the commands read"));
  m_labels = new SnapshotLabels(m_times, this);
  for (QComboBox* box : {m_from, m_to}) {
    box->setModel(m_labels);
    // Sized by the longest label, counted once per list of times: sizing to contents would
    // measure every item at every change.
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto* list = qobject_cast<QListView*>(box->view())) list->setUniformItemSizes(true);
  }
  auto* from = new QLabel(QStringLiteral("&From"), this);
  from->setBuddy(m_from);
  auto* to = new QLabel(QStringLiteral("&To"), this);
  to->setBuddy(m_to);
  for (QLabel* l : {from, to})  // room for a font whose letters overhang what it measures
    l->setMinimumWidth(l->sizeHint().width() + l->fontMetrics().averageCharWidth());
  row->addWidget(from);
  row->addWidget(m_from);
  row->addWidget(to);
  row->addWidget(m_to);
  row->addStretch(1);
  connect(m_from, &QComboBox::activated, this, [this](int i) {
    if (m_to->currentIndex() < i) m_to->setCurrentIndex(i);
    showFullTimes();
    emit changed();
  });
  connect(m_to, &QComboBox::activated, this, [this](int i) {
    if (m_from->currentIndex() > i) m_from->setCurrentIndex(i);
    showFullTimes();
    emit changed();
  });
  hide();
}

QString TimeWindowBar::label(int index) const { return labelOf(m_times, index); }

void TimeWindowBar::showTimes(std::vector<std::string> times) {
  const bool grew =
      !m_times.empty() && times.size() >= m_times.size() && std::equal(m_times.begin(), m_times.end(), times.begin());
  const int oldCount = count();
  int from = grew ? first() : 0;
  int to = grew && last() < oldCount - 1 ? last() : static_cast<int>(times.size()) - 1;
  const QSignalBlocker blockFrom(m_from);
  const QSignalBlocker blockTo(m_to);
  m_labels->beginChange();
  m_times = std::move(times);
  m_labels->endChange();
  const int letters = std::max(longestLabel(m_times), 1);
  for (QComboBox* box : {m_from, m_to}) box->setMinimumContentsLength(letters);
  choose(from, to);
  setVisible(count() >= 2);
}

int TimeWindowBar::first() const { return std::max(m_from->currentIndex(), 0); }

int TimeWindowBar::last() const { return std::max(m_to->currentIndex(), 0); }

void TimeWindowBar::choose(int first, int last) {
  if (count() == 0) return;
  first = std::clamp(first, 0, count() - 1);
  last = std::clamp(last, first, count() - 1);
  m_from->setCurrentIndex(first);
  m_to->setCurrentIndex(last);
  showFullTimes();
}

void TimeWindowBar::showFullTimes() {  // the chosen snapshots' timestamps as the report prints them
  if (m_from->currentIndex() >= 0)
    m_from->setToolTip(QString::fromStdString(m_times[static_cast<size_t>(m_from->currentIndex())]));
  if (m_to->currentIndex() >= 0)
    m_to->setToolTip(QString::fromStdString(m_times[static_cast<size_t>(m_to->currentIndex())]));
}

core::WindowBound TimeWindowBar::boundAt(int index) const {
  const std::string& time = m_times[static_cast<size_t>(index)];
  if (!time.empty() && core::parseSnapshotTime(time)) {
    try {
      return core::parseWindowBound(toTheSecond(time));
    } catch (const core::WindowError&) {
      // a timestamp of a form a window can't take: by number
    }
  }
  return core::parseWindowBound("#" + std::to_string(index + 1));
}

core::SnapshotWindow TimeWindowBar::window() const {
  core::SnapshotWindow w;
  if (isOpen()) return w;
  if (first() > 0) w.from = boundAt(first());
  if (last() < count() - 1) w.to = boundAt(last());
  return w;
}

QString TimeWindowBar::text() const {
  if (count() == 0) return {};
  return QStringLiteral("%1 to %2").arg(label(first()), label(last()));
}

}  // namespace tarvolin::ui
