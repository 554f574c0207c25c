#pragma once

// For the end-to-end tests only, which have no one to make an edit on the pages. With
// the environment variable LX735_TEST_COMMANDS naming a file, the program looks for that
// file every 100 ms, carries out its lines and deletes it (a test writes it elsewhere
// and renames it into place). The commands:
//     mem3 EmptyGas VALUE    the end-of-gas check (0 off, 1 on) as a pending zone-3
//                            edit, armed as the Configuration page arms it
//     window                 records the main window's title ("window: <title>") and
//                            its visible tab captions ("tabs: <caption>|<caption>...")
//     close                  closes the main window as its close button does
// Each line is recorded as an event ("EVENT <ms> command: <line>", LX735_TEST_EVENTS),
// a line it cannot carry out as "command refused: <line>". A user's program never has
// the variable set and behaves as always.

class QWidget;

namespace app {
struct ProgramContext;
} // namespace app

namespace monitor {

// Starts the watch, which lives as long as the main window; nothing without the variable.
void WatchTestCommandsFromEnvironment(app::ProgramContext& ctx, QWidget& window);

} // namespace monitor
