#pragma once

#include <QString>

// Writes one line to standard output and flushes it, for the lines Brimble
// prints for the user and scripts ("terminate", "File saved", ...).
void printLine(const QString &line);
