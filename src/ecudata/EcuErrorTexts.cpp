#include "ecudata/EcuErrorTexts.h"

namespace ecudata {

namespace {

// Part n of the entry split at "?"; "" when there is none (a slot out of the list too).
QString EntryPart(const QStringList& ecuErrorTexts, int code, int n) {
    if (code < 0 || code >= ecuErrorTexts.size()) {
        return {};
    }
    return ecuErrorTexts[code].split(u'?').value(n);
}

QString TrimBlanks(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == u' ') {
        ++from;
    }
    while (to > from && text[to - 1] == u' ') {
        --to;
    }
    return text.mid(from, to - from);
}

} // namespace

QString GetErrEcuText(const QStringList& ecuErrorTexts, int code) {
    return TrimBlanks(EntryPart(ecuErrorTexts, code, 0));
}

QString GetErrEcuSubText(const QStringList& ecuErrorTexts, int code, quint8 state) {
    const QString states = EntryPart(ecuErrorTexts, code, 1);
    return states.isEmpty() ? QString() : states.split(u'|').value(state);
}

} // namespace ecudata
