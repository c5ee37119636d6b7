#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

namespace quellar::test {

// The one T under parent named name, as a user would find it by its role. A
// missing or doubled name throws, which fails the test with the name in its
// message.
template <typename T>
T* Child(const QObject& parent, const char* name) {
  const QList<T*> found = parent.findChildren<T*>(QString::fromLatin1(name));
  if (found.size() != 1)
    throw std::runtime_error(std::to_string(found.size()) + " controls named \"" + name +
                             "\" under \"" + parent.objectName().toStdString() + "\"");
  return found.front();
}

}  // namespace quellar::test
