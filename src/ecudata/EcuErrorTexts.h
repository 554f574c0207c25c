#pragma once

// Look-ups in the list of ECU error texts (EcuErrorTexts, filled from the dictionary at
// every change of language). Entry k describes error slot k: its description, "?", then
// the texts of the slot's states separated by "|" (state text n for state value n).
// Further "?" parts are ignored. The list may be empty.

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace ecudata {

// The slot's description without the blanks around it; "" for a slot beyond the list.
QString GetErrEcuText(const QStringList& ecuErrorTexts, int code);

// The text of the slot's state as it stands (blanks kept); "" when the slot or the state
// has no text.
QString GetErrEcuSubText(const QStringList& ecuErrorTexts, int code, quint8 state);

} // namespace ecudata
