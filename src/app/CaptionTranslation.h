#pragma once

// The translation of the main window: the dictionary's main-window section, read by
// entry number in a fixed order, gives the window's captions and the message texts
// that every part of the program shows.

#include <QString>
#include <QtGlobal>

class QWidget;

namespace support {
class ClsLingue;
}

namespace app {

struct ProgramContext;

enum class TranslationResult {
    Done,
    // The section has no "[END_ERROR_ECU]" within its entries 72 .. 327: the error list
    // is left empty and the captions after it keep their texts, since their entry
    // numbers cannot be known.
    NoErrorMarker,
};

// False when the dictionary file gave no language at all (missing or empty).
bool DictionaryLoaded(const support::ClsLingue& lingue);

// Checks the language's item of the Language menu (items "MnuLngT(i)"), makes it the
// current language and applies its entries to the controls below window and to the
// context's texts. A language outside the loaded ones stands for language 0; without
// any loaded language the built-in captions stay. notStored is set to the reason when
// the current-language file could not be rewritten with the choice.
TranslationResult TranslateMainWindow(QWidget& window, ProgramContext& context, qint16 language,
                                      QString* notStored = nullptr);

// Gives the controls below window that the main entries leave out (buttons of the pages,
// the dialogs and the viewer) their captions in the language last chosen; controls the
// window lacks are passed over. Each window calls it once its controls are made.
void TranslateProgramCaptions(QWidget& window);

} // namespace app
