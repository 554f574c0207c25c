#include "script/ScriptWords.h"

namespace script {

std::optional<Words> Split(const QString& line) {
    Words words;
    int i = 0;
    while (i < line.size()) {
        if (line[i].isSpace()) {
            ++i;
            continue;
        }
        QString word;
        if (line[i] != '"') {
            while (i < line.size() && !line[i].isSpace()) {
                word += line[i++];
            }
            words.text << word;
            words.quoted << false;
            continue;
        }
        for (++i;; ++i) {
            if (i >= line.size()) {
                return std::nullopt;
            }
            if (line[i] == '"') {
                break;
            }
            if (line[i] == '\\' && i + 1 < line.size()) {
                const QChar next = line[++i];
                word += next == 'n' ? QChar('\n') : next == 'r' ? QChar('\r') : next;
            } else {
                word += line[i];
            }
        }
        ++i;
        if (i < line.size() && !line[i].isSpace()) {
            return std::nullopt;
        }
        words.text << word;
        words.quoted << true;
    }
    return words;
}

std::optional<int> Number(const QString& word) {
    bool ok = false;
    const int value = word.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace script
