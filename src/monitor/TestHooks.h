#pragma once

// For the end-to-end tests only, which run the program without anyone to answer its
// boxes. With the environment variable LX735_TEST_EVENTS naming a file, every message
// box is answered at once with its first button (OK or Yes) instead of being shown, and
// is appended to that file as "MSGBOX <ms> <title>|<text>" (CR and LF written as \r
// and \n), as are the events given to RecordTestEvent ("EVENT <ms> <text>"), every
// tone asked of platform::Beep ("EVENT <ms> beep <Hz> <ms>") and every local file
// handed to the desktop to open, which is not opened ("EVENT <ms> open file:///...");
// ms is the clock of the link log's time stamps. With LX735_TEST_BOX_BUTTONS set as
// well, each box is followed by "EVENT <ms> box buttons <caption>|<caption>...", the
// captions it would show. A user's program never has the variables set and behaves as
// always.
//
// With LX735_TEST_GRAB naming a PNG file, the main window's picture is written there
// every two seconds, so that a run without a screen can be looked at.

#include <QString>

class QWidget;

namespace monitor {

// Reads the variable; call once at start, before any box may appear.
void InstallTestHooksFromEnvironment();

// One event line; nothing without the variable.
void RecordTestEvent(const QString& text);

// Starts the periodic picture of the window; nothing without LX735_TEST_GRAB.
void GrabWindowFromEnvironment(QWidget& window);

} // namespace monitor
