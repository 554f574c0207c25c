#pragma once

// A test-script line read into words: blanks part them, a word in double quotes may hold
// blanks and the escapes \" \\ \n \r. The commands tell quoted words from bare ones.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace script {

// A line's words; quoted ones marked, so that `choose C 3` and `choose C "3"` differ.
struct Words {
    QStringList text;
    QList<bool> quoted;
};

// Nothing when a quote is left open or a quote closes inside a word.
std::optional<Words> Split(const QString& line);

// A whole number; nothing for anything else.
std::optional<int> Number(const QString& word);

} // namespace script
