#pragma once

// The one way the program writes a file whole. The bytes go to a new file beside the old
// one, are flushed and checked, and only then replace it in one step: a failure at any
// point (open, write, flush, the device's error, the replacement) leaves the old file
// byte for byte, leaves no new file behind, and gives the reason. A buffered write that
// failed for lack of space is only seen at the flush, so a commit alone would replace a
// good file with a truncated one and report success.
//
// Test switch: with LX735_TEST_FAIL_WRITES naming a folder, every file written below it
// fails as on a full disk (end-to-end tests where no small file system can be mounted).
// Without it nothing changes.

#include <QByteArray>
#include <QString>

namespace support {

// True when the file at the path now holds exactly the bytes. False when it could not be
// written, the file there as it was, with why set to the reason (the system's text, e.g.
// "No space left on device").
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* why = nullptr);

// Tells the installer once, from the event loop, that an appending log stopped on a write
// error: its path and the reason. The code that appends never waits on the box (the link
// may be in the middle of an exchange).
void TellLogStopped(const QString& path, const QString& why, const QString& title);

} // namespace support
