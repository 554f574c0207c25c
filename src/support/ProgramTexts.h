#pragma once

// The texts the program adds to the dictionary's: design captions the main entries leave
// out and messages of the program's own. They are one dictionary section, read whole
// whenever a language is chosen, so that code without the program's context (file
// writers, readers) tells its messages in the installer's language too.

#include <QString>

namespace support {

class ClsLingue;

// In the section's order; the dictionary tool writes the entries in the same order.
enum class ProgramText : int {
    // Button and frame captions.
    Next,
    Esc,
    Erase,
    Cancel,
    Open,
    Save,
    Reset,
    Compute,
    Compensation,
    ViewUp,
    ViewDown,
    ViewRun,
    ViewStop,
    ViewReload,
    ViewExport,
    ViewSetting,
    ViewCylCoilFrame,
    ViewCylinder,
    ViewCoil,
    ViewChannel0, // the channels' check boxes 0 .. 7 follow in order
    ViewChannel7 = ViewChannel0 + 7,
    // Messages.
    MapKept,
    MapDamagedLine,
    MapNoNumber,
    MapOutside,
    MapUnreadable,
    MapNotSaved,
    BlocksNotWritten,
    UpdateLinkDown,
    LogStopped,
    ParamNotWritten,
    ParamNotLoaded,
    LanguageNotSaved,
    PortNotSaved,
    LinkLogNotWritten,
    PointLogNotStarted,
    CalibrationParamsUnsafe,
    ModelNotFitting,
    ViewerLimited,
    ViewerNoSamples,
    ImageUnreadable,
    Count
};

// The section marker.
QString ProgramTextsSection();

// The text in the language last applied; English before any.
QString Text(ProgramText text);

// Takes the section's texts in the dictionary's current language (English for an entry
// the dictionary lacks).
void ApplyProgramTexts(const ClsLingue& lingue);

} // namespace support
