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

// Loads the file into the images and, with the link up, sends it, reads the correction
// table back and has the ECU store its parameters in flash; off-line the images alone
// take it (the compensation tables and emulation block too). The caption names the
// file whatever the outcome. True when the file is done with: sent, loaded off-line, or
// refused as missing or damaged (the installer was told); False keeps it queued for
// another try.
bool FileParametriInvia(const QString& path, app::ProgramContext& ctx,
                        const app::PageServices& pages, const CaptionSetter& setCaption);

// The file's compensation tables into the images, nothing sent.
void ReadCompBlocks(const QString& path, app::ProgramContext& ctx);

} // namespace settings
