// Qismar: a work that the text viewer shows.
#pragma once

#include <QString>

namespace qismar {

// What one of the "كتب" commands shows: the data file it reads, the
// viewer's caption, and the summary that "نبذة" shows (lines joined by a
// carriage return).
struct Book {
    QString fileName;
    QString caption;
    QString summary;
};

}  // namespace qismar
