#pragma once

#include <QString>
#include <ostream>

// Lets gtest print QString values as readable text in failure messages.
QT_BEGIN_NAMESPACE
void PrintTo(const QString& text, std::ostream* out);
QT_END_NAMESPACE
