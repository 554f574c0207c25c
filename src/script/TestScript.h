#pragma once

// The test script: how an end-to-end test drives the real program as an installer does,
// on the named controls, through the same events as a mouse and a keyboard, so that the
// handlers, their filling flags, the deferred writes and the link all run as for a user.
// It drives widgets only: it knows nothing of the ECU and never touches the images or
// the link.
//
// With the environment variable LX735_TEST_COMMANDS naming a file, the program looks for
// that file every 100 ms, appends its lines to the queue and deletes it (a test writes it
// elsewhere and renames it into place). Without the variable nothing of this exists.
//
// Order. The queue carries out one line per turn of the event loop, also inside nested
// loops (a modal dialog's, a handler's wait), and never re-enters itself: the next line
// starts once the previous line's handler has returned, or has entered a modal loop or
// a wait (support::WaitUsec), as a user's next action would. A handler that only pumps
// events (processEvents) does not let the next line in. A line that opens a modal
// dialog or starts a handler's wait thus returns at once and the lines after it run
// while that dialog or wait is under way.
//
// Records (LX735_TEST_EVENTS): every line as "command: <line>" when it is carried out, or
// "command refused: <line> (<why>)". The lines that take time (press, hold, wheel,
// wait, until) are recorded when they end, every other line before its handler runs. A
// refused line changes nothing and the queue goes on. Refused: a malformed line, an
// unknown command or control, and every action on a control a user could not reach
// (hidden, disabled, or in a window that a modal dialog covers). Reading never refuses
// for that (read, grid, items and until see hidden controls).
//
// Names. A control is named by its objectName: "CmdOk", an element of an array as
// "LblSignal(3)", a menu item by its objectName ("MnuOffLine"). A bare name is looked
// for in the main window, then as a window's name; "Window.Control" names a control of
// another window (a modeless window or a dialog: "FrmErrEcu.Command2"). A widget of the
// program's own shows its value to `read` through a property named "value" or "text".
// Texts are in double quotes with \" \\ \n \r escaped. MODS are modifiers joined by
// "+": Shift, Ctrl, Alt.
//
//   click NAME [MODS]          left click at the control's centre; a menu item is
//                              triggered as a click on it does
//   dblclick NAME [MODS]       double click
//   rclick NAME [MODS]         right click (and the context-menu event after the press)
//   click GRID ROW COL [MODS]  a click on a grid's cell (also dblclick, rclick)
//   press NAME MS [MODS]       the left button held down for MS, then released
//   drag NAME [X0 Y0] X Y      press (at X0 Y0, else the centre), move to X Y in the
//                              control, release
//   choose NAME INDEX          a combo box's item picked as a user picks it: focus, the
//   choose NAME "TEXT"         list opened, the item taken (activated and the change
//                              signal both raised)
//   type NAME "TEXT"           key presses and releases for every character
//   key NAME KEY               one key pressed and released: "Escape", "F2", "S",
//                              "Ctrl+Alt+Shift+S", "Shift+Right", "KP_Add", "KP_5"
//   keydown NAME KEY, keyup NAME KEY   the press or the release alone
//   hold NAME KEY MS           the press; after 500 ms every 33 ms a release and press
//                              flagged auto-repeat (as X11 delivers a held key); one
//                              plain release after MS
//   slide NAME VALUE           a scroll bar's or slider's thumb dragged to VALUE
//   wheel NAME STEPS           the pointer moved to the control's centre, then STEPS
//                              notches of the mouse wheel there (positive away from the
//                              user, negative towards; not 0), one per turn of the event
//                              loop, each to the widget under the pointer as the window
//                              system delivers it; the keyboard focus stays where it is
//   tab NAME INDEX             a click on tab INDEX of the tab strip NAME, counting the
//                              hidden tabs ("tab SstMain 1"); a hidden tab is refused
//   close [WINDOW]             a click on the window's close box (title bar); the main
//                              window without a name. Unlike "key WINDOW Escape".
//   answer OK|Cancel|Yes|No    how the next message box is answered (write it before
//                              the line that raises the box); boxes not so answered get
//                              their first button, as every box in a test run
//   input "TEXT"               the text the next input box answers ("" cancels)
//   file "PATH", file cancel   the answer of the next open or save dialog
//   read NAME                  records "read: NAME text="..." value=N checked=0|1
//                              index=N visible=0|1 enabled=0|1 rect=X,Y,W,H
//                              back=#rrggbb fore=#rrggbb focus=0|1" (the fields the
//                              control has; focus 1 when it has the keyboard focus in
//                              the active window; rect in pixels in its window; the
//                              colours as drawn: back the colour filling most of the
//                              control's picture (of a face drawn as a gradient, its
//                              middle row's: compare the hue), fore the commonest colour
//                              that stands out of it, "none" when nothing does). A
//                              window adds title="..." and tabs="caption|caption" (its
//                              visible tabs).
//   read NAME(*)               one "read:" line for every element of the array
//   grid NAME                  "grid: NAME rows=R cols=C", "grid: NAME head "..." ...",
//                              then "grid: NAME <row> "cell" "cell" ..." row by row
//   items NAME                 "items: NAME "entry" "entry" ..." (a combo or a list)
//   wait MS                    the queue pauses for MS while the event loop runs
//   until NAME FIELD VALUE MS  the queue pauses until the field that read gives (or
//                              "exists", 1 or 0) shows VALUE, for a control or window
//                              that may not exist yet; refused after MS without it
//   grab PATH [WINDOW]         a PNG picture of the main window or of the window named
//   window                     "window: <title>" and "tabs: <caption>|..." of the main
//                              window (read FrmLX735 gives the same)

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QWidget;

namespace script {

class TestScript {
public:
    // Writes one event line.
    using Recorder = std::function<void(const QString& text)>;

    TestScript(QWidget& mainWindow, Recorder record);
    ~TestScript();
    TestScript(const TestScript&) = delete;
    TestScript& operator=(const TestScript&) = delete;

    // Looks for the file every 100 ms: its lines join the queue, then it is deleted.
    void WatchFile(const QString& path);
    void Enqueue(const QStringList& lines);
    // Nothing queued and nothing under way.
    bool Idle() const;

private:
    struct Runner;
    std::unique_ptr<Runner> runner_;
};

// The script of LX735_TEST_COMMANDS, watching its file; nothing without the variable.
std::unique_ptr<TestScript> TestScriptFromEnvironment(QWidget& mainWindow,
                                                      TestScript::Recorder record);

} // namespace script
