#include "ui/derived/derived_columns_option.h"

#include <QFile>
#include <QSettings>

namespace tarvolin::ui {

namespace {

/// The user's settings of the program (~/.config/Tarvolin/Tarvolin.conf).
QSettings settings() { return QSettings(QStringLiteral("Tarvolin"), QStringLiteral("Tarvolin")); }

QString settingsKey(const std::string& kind) {
  return QStringLiteral("derivedColumns/") + QString::fromStdString(kind);
}

}  // namespace

DerivedColumnsOption::DerivedColumnsOption(platform::Platform& platform, std::string configFolder)
    : m_platform(platform), m_configFolder(std::move(configFolder)) {}

bool DerivedColumnsOption::enabledFor(const std::string& kind) const {
  return !kind.empty() && settings().value(settingsKey(kind), false).toBool();
}

void DerivedColumnsOption::setEnabledFor(const std::string& kind, bool on) {
  if (!kind.empty()) settings().setValue(settingsKey(kind), on);
}

std::optional<std::filesystem::file_time_type> DerivedColumnsOption::ownFileTime() const {
  std::error_code ec;
  const auto time =
      std::filesystem::last_write_time(std::filesystem::path(m_configFolder) / core::kDerivedColumnsFile, ec);
  return ec ? std::nullopt : std::optional(time);
}

const core::DerivedDefinitions& DerivedColumnsOption::loaded() {
  const std::optional<std::filesystem::file_time_type> own = ownFileTime();
  if (!m_definitions || own != m_ownTime) {
    m_errors.clear();
    m_definitions = core::loadDerivedDefinitions(QFile::encodeName(m_platform.files.programDir()).toStdString(),
                                                 m_configFolder, m_errors);
    m_ownTime = own;
  }
  return *m_definitions;
}

const core::DerivedDefinitions& DerivedColumnsOption::definitions(QWidget* owner) {
  loaded();
  if (!m_errors.empty()) {
    QString text = QStringLiteral("Derived columns left out:");
    for (const std::string& e : m_errors) text += QStringLiteral("\n") + QString::fromStdString(e);
    m_errors.clear();  // told once
    m_platform.dialogs.message(owner, text);
  }
  return *m_definitions;
}

void DerivedColumnsOption::tellClashes(const std::vector<std::string>& clashes, QWidget* owner) {
  QString text;
  for (const std::string& name : clashes)
    if (m_toldClashes.insert(name).second)
      text += QStringLiteral("\nDerived column \"%1\" left out: the report has a variable of that name")
                  .arg(QString::fromStdString(name));
  if (!text.isEmpty()) m_platform.dialogs.message(owner, text.mid(1));
}

void DerivedColumnsOption::apply(core::GridStore& grid, core::TextMeasure& measure, QWidget* owner,
                                 std::optional<core::ColumnFilter> derivedFilter) {
  core::Report& report = grid.report();
  m_shown.clear();
  const bool chosen = enabledFor(report.kindHeading);
  std::vector<core::ColumnFilter> filters;
  if (derivedFilter) filters.push_back(std::move(*derivedFilter));
  m_plan = core::ColumnPlan(chosen ? &definitions(owner) : &loaded(), report.kindHeading, report.vars, grid, chosen,
                            std::move(filters));
  for (const int col : m_plan.addTo(report.vars, grid, measure))
    for (const core::DerivedColumn* c : m_plan.columns())
      if (c->name == report.vars[col].name) m_shown.push_back(*c);
  tellClashes(m_plan.clashes(), owner);
}

}  // namespace tarvolin::ui
