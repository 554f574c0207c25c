#pragma once

// Sending a queued parameter file: the one path by which a file reaches the ECU. Menus,
// buttons and the fuel option only queue a path (ParamFilePending); the poll scheduler
// hands it here while the link runs, the link pump once while it is stopped.

#include <QString>
#include <functional>

namespace app {
struct PageServices;
struct ProgramContext;
} // namespace app

namespace settings {

using CaptionSetter = std::function<void(const QString& caption)>;

// Loads the file into the images and, with the link up, sends it block by block, each
// read back, and once every block is in has the ECU store its parameters in flash;
// off-line the images alone take it (the compensation tables and emulation block too).
// The caption names the file only when it was loaded whole (sent and saved, or loaded
// off-line). A block not written leaves the flash unsaved and the ECU's memory as it
// is: the installer is told which blocks and chooses whether the whole file goes again.
// True when the file is done with: sent, loaded off-line, refused as missing or damaged
// (the installer was told), or not sent again by the installer's choice; False keeps it
// queued for another try, which waits for the ECU to be identified.
bool FileParametriInvia(const QString& path, app::ProgramContext& ctx,
                        const app::PageServices& pages, const CaptionSetter& setCaption);

// The file's compensation tables into the images, nothing sent.
void ReadCompBlocks(const QString& path, app::ProgramContext& ctx);

} // namespace settings
