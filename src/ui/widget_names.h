#pragma once

#include <QLabel>
#include <QLatin1String>
#include <QPoint>
#include <QString>

namespace quellar {

// Every control and menu item carries its role as its object name, by which tests
// and screen readers' tools find it.
template <typename Object>
Object* Named(Object* object, const char* name) {
  object->setObjectName(QLatin1String(name));
  return object;
}

// A label at a fixed place, as wide as its caption.
inline QLabel* MakeLabel(const char* name, const QString& caption, QPoint at, QWidget* parent) {
  auto* label = Named(new QLabel(caption, parent), name);
  label->move(at);
  label->adjustSize();
  return label;
}

}  // namespace quellar
