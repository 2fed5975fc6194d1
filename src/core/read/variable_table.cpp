#include "core/read/variable_table.h"

#include <algorithm>
#include <string>
#include <utility>

namespace tarvolin::core {

namespace {

/// Gives a slot being appended the settings of a new variable; its name and seqno are the caller's.
void clearSettings(Variable& v) {
  v.show = true;
  v.cmark = false;
  v.cfg2.clear();
  v.cfg3.clear();
  v.cfg4.clear();
  v.width = 0;
}

}  // namespace

TableFullError::TableFullError(const std::string& name)
    : std::runtime_error("Too many variables: the table holds " + std::to_string(kMaxVars) + " and \"" + name +
                         "\" would be one more") {}

VariableTable::VariableTable(const VariableTable& other)
    : m_vars(other.m_vars ? std::make_unique<Slots>(*other.m_vars) : nullptr),
      m_lastIndex(other.m_lastIndex),
      m_index(other.m_index),
      m_indexDirty(other.m_indexDirty) {}

VariableTable& VariableTable::operator=(const VariableTable& other) {
  if (this == &other) return *this;
  if (!other.m_vars)
    m_vars.reset();
  else if (m_vars)
    *m_vars = *other.m_vars;
  else
    m_vars = std::make_unique<Slots>(*other.m_vars);
  m_lastIndex = other.m_lastIndex;
  m_index = other.m_index;
  m_indexDirty = other.m_indexDirty;
  return *this;
}

VariableTable::VariableTable(VariableTable&& other) noexcept
    : m_vars(std::move(other.m_vars)),
      m_lastIndex(std::exchange(other.m_lastIndex, int16_t{-1})),
      m_index(std::move(other.m_index)),
      m_indexDirty(std::exchange(other.m_indexDirty, false)) {
  other.m_index.clear();
}

VariableTable& VariableTable::operator=(VariableTable&& other) noexcept {
  if (this == &other) return *this;
  m_vars = std::move(other.m_vars);
  m_lastIndex = std::exchange(other.m_lastIndex, int16_t{-1});
  m_index = std::move(other.m_index);
  other.m_index.clear();
  m_indexDirty = std::exchange(other.m_indexDirty, false);
  return *this;
}

VariableTable::Slots& VariableTable::records() {
  if (!m_vars) {
    m_vars = std::make_unique<Slots>();
    m_index.reserve(kMaxVars * 2);
  }
  return *m_vars;
}

const Variable& VariableTable::operator[](int i) const {
  static const Variable kNone;
  if (i < 0 || i >= kMaxVars) throw std::out_of_range("Variable index out of range: " + std::to_string(i));
  return m_vars ? (*m_vars)[static_cast<size_t>(i)] : kNone;
}

Variable& VariableTable::edit(int i) {
  m_indexDirty = true;
  return records().at(static_cast<size_t>(i));
}

void VariableTable::reset() {
  m_lastIndex = -1;
  m_index.clear();
  m_indexDirty = false;
}

int VariableTable::lookup(std::string_view name) const {
  if (m_indexDirty) rebuildIndex();
  auto it = m_index.find(name);
  return it == m_index.end() ? -1 : it->second;
}

int VariableTable::appendName(std::string_view name) {
  if (full()) throw TableFullError(std::string(name));
  if (m_indexDirty) rebuildIndex();
  ++m_lastIndex;
  Variable& v = records()[static_cast<size_t>(m_lastIndex)];
  v.name.assign(name);
  clearSettings(v);
  v.seqno = m_lastIndex;
  m_index.emplace(v.name, m_lastIndex);  // keeps an earlier index of the same name
  return m_lastIndex;
}

Variable& VariableTable::appendBlank() {
  if (full()) throw TableFullError("");
  ++m_lastIndex;
  Variable& v = records()[static_cast<size_t>(m_lastIndex)];
  v.name.clear();
  clearSettings(v);
  m_indexDirty = true;
  return v;
}

void VariableTable::insertName(int at, std::string_view name) {
  if (full()) throw TableFullError(std::string(name));
  ++m_lastIndex;
  Slots& vars = records();
  const auto first = vars.begin() + at;
  std::rotate(first, vars.begin() + m_lastIndex, vars.begin() + m_lastIndex + 1);
  first->name.assign(name);
  clearSettings(*first);
  for (int i = at; i <= m_lastIndex; ++i) vars[static_cast<size_t>(i)].seqno = static_cast<int16_t>(i);
  m_indexDirty = true;
}

void VariableTable::rebuildIndex() const {
  m_index.clear();
  for (int i = 0; i <= m_lastIndex; ++i)
    m_index.emplace((*m_vars)[static_cast<size_t>(i)].name, static_cast<int16_t>(i));
  m_indexDirty = false;
}

}  // namespace tarvolin::core
