// Lets GoogleTest print a QString as its text rather than as a row of 2-byte objects.
#pragma once

#include <QString>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
