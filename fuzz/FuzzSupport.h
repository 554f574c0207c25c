#pragma once

// What every fuzz target shares, set up once per process before the first input: Qt
// Widgets on the offscreen platform, message boxes answered OK without a window, waits
// that pass at once, and a scratch application tree (<root>/BIN, <root>/LNG) in which the
// readers that take a path find the input.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace fuzz {

// The scratch tree's application folder, without a trailing "/".
QString Root();

// Replaces the file at Root() + relativePath (e.g. "/BIN/SetCom.ini") with the bytes and
// returns its full path.
QString WriteInput(const QString& relativePath, const QByteArray& bytes);
QString WriteInput(const QString& relativePath, const uint8_t* data, size_t size);

// Removes the file if it is there, so that the next input starts without it.
void RemoveFile(const QString& relativePath);

// A property of the code under test failed: stops the run as a crash, so that the fuzzer
// keeps the input that shows it.
[[noreturn]] void Fail(const char* file, int line, const char* what);

} // namespace fuzz

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            ::fuzz::Fail(__FILE__, __LINE__, #cond);                                               \
        }                                                                                          \
    } while (false)
