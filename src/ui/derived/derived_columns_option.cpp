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

void DerivedColumnsOption::takeFilter(const core::SharedState& shared, core::LoadState& load) {
  m_filterName.clear();
  if (load.filterValue.empty() || load.filterColumn > shared.vars.lastIndex() || !enabledFor(shared.kindHeading) ||
      !m_definitions)
    return;
  const std::string& name = shared.vars[load.filterColumn].name;
  for (const core::DerivedColumn* c : m_definitions->forKind(shared.kindHeading))
    if (c->name == name) {
      m_filterName = name;
      m_filterValue = std::move(load.filterValue);
      load.filterValue.clear();
      return;
    }
}

void DerivedColumnsOption::tellClashes(const std::vector<std::string>& clashes, QWidget* owner) {
  QString text;
  for (const std::string& name : clashes)
    if (m_toldClashes.insert(name).second)
      text += QStringLiteral("\nDerived column \"%1\" left out: the report has a variable of that name")
                  .arg(QString::fromStdString(name));
  if (!text.isEmpty()) m_platform.dialogs.message(owner, text.mid(1));
}

void DerivedColumnsOption::apply(core::SharedState& shared, core::GridStore& grid, core::TextMeasure& measure,
                                 QWidget* owner) {
  m_shown.clear();
  if (!enabledFor(shared.kindHeading)) {
    // Columns that the kind's configuration keeps for them stay empty: not shown.
    for (const int col : core::fitDerivedColumns(loaded().forKind(shared.kindHeading), shared.vars, grid).placeholders)
      if (col < grid.cols()) grid.setColWidth(col, 0);
    return;
  }
  const std::vector<const core::DerivedColumn*> columns = definitions(owner).forKind(shared.kindHeading);
  std::vector<std::string> clashes;
  const std::vector<int> added =
      columns.empty() ? std::vector<int>{} : core::addDerivedColumns(columns, shared.vars, grid, measure, &clashes);
  for (const int col : added)
    for (const core::DerivedColumn* c : columns)
      if (c->name == shared.vars[col].name) m_shown.push_back(*c);
  tellClashes(clashes, owner);
  if (m_filterName.empty()) return;
  if (const int col = shared.vars.lookup(m_filterName); col >= 0 && col < grid.cols())
    core::keepRowsWith(grid, col, m_filterValue);
  m_filterName.clear();
}

}  // namespace tarvolin::ui
