#include "ui/compare/compare_settings_bar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <cstdint>

#include "core/values/decimal.h"

namespace tarvolin::ui {

namespace {

constexpr int kAsShown = -1;

}  // namespace

CompareSettingsBar::CompareSettingsBar(bool offerInterval, std::optional<int64_t> fileIntervalMicros, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("barcompare"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 2, 6, 2);
  auto* dates = new QLabel(QStringLiteral("Dates:"), this);
  m_order = new QComboBox(this);
  m_order->setObjectName(QStringLiteral("cmbdateorder"));
  m_order->addItem(QStringLiteral("As the reports show them"), kAsShown);
  m_order->addItem(QStringLiteral("Day first (DMY)"), static_cast<int>(core::DateOrder::DMY));
  m_order->addItem(QStringLiteral("Month first (MDY)"), static_cast<int>(core::DateOrder::MDY));
  m_order->addItem(QStringLiteral("Year first (YMD)"), static_cast<int>(core::DateOrder::YMD));
  dates->setBuddy(m_order);
  layout->addWidget(dates);
  layout->addWidget(m_order);
  connect(m_order, &QComboBox::activated, this, &CompareSettingsBar::changed);
  if (offerInterval) {
    m_intervalLabel = new QLabel(this);
    m_intervalLabel->setObjectName(QStringLiteral("lblinterval"));
    m_interval = new QLineEdit(this);
    m_interval->setObjectName(QStringLiteral("txtinterval"));
    m_interval->setMaximumWidth(120);
    m_intervalLabel->setBuddy(m_interval);
    const bool fromFiles = fileIntervalMicros && *fileIntervalMicros > 0;
    if (fromFiles) m_interval->setText(QString::fromStdString(core::secondsText(*fileIntervalMicros)));
    m_intervalLabel->setText(fromFiles ? QStringLiteral("Interval (s), from the files' modification times:")
                                       : QStringLiteral("Interval (s):"));
    layout->addSpacing(16);
    layout->addWidget(m_intervalLabel);
    layout->addWidget(m_interval);
    connect(m_interval, &QLineEdit::textEdited, this,
            [this] { m_intervalLabel->setText(QStringLiteral("Interval (s):")); });
    connect(m_interval, &QLineEdit::editingFinished, this, [this] {
      if (m_interval->isModified()) emit changed();
      m_interval->setModified(false);
    });
  }
  layout->addStretch(1);
}

std::optional<core::DateOrder> CompareSettingsBar::dateOrder() const {
  const int order = m_order->currentData().toInt();
  if (order == kAsShown) return std::nullopt;
  return static_cast<core::DateOrder>(order);
}

std::optional<int64_t> CompareSettingsBar::intervalMicros() const {
  if (m_interval == nullptr) return std::nullopt;
  const std::optional<core::Decimal> d = core::parseDecimal(m_interval->text().trimmed().toStdString());
  if (!d || d->units <= 0 || d->scale > 6 || d->units > INT64_MAX / 1'000'000) return std::nullopt;
  auto micros = static_cast<int64_t>(d->units);
  for (int i = d->scale; i < 6; ++i) micros *= 10;
  return micros;
}

}  // namespace tarvolin::ui
