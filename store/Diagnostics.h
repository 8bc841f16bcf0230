// The texts the program prints on standard error. Each call writes its whole
// text with one write, so lines of the writer and action threads never mix
// mid-line; texts pass unchanged, with the newlines the caller gives.
// Debug tracing of the Qt layers goes through qCDebug categories instead.
#pragma once

#include <cstddef>

namespace diag {

// printf-style text to standard error.
void print(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "<what>: <text of errno>" and a newline, as perror writes it.
void error(const char* what);
// Writes the bytes to standard error as they are; async-signal-safe.
void writeAll(const char* text, size_t size);

} // namespace diag
