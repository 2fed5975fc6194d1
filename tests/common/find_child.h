#pragma once

#include <QLatin1String>
#include <QObject>

namespace tarvolin::test {

/// The descendant of `parent` of type T whose objectName is `name`, or nullptr.
template <typename T>
T* child(const QObject& parent, const char* name) {
  return parent.findChild<T*>(QLatin1String(name));
}

}  // namespace tarvolin::test
