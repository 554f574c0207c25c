#include "settings/ParamFileSend.h"

#include "app/EditTexts.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "ecudata/CompTables.h"
#include "ecudata/CorrectionTable.h"
#include "ecudata/FirmwareImage.h"
#include "ecudata/FuelMode.h"
#include "ecudata/ParamFile.h"
#include "ecudata/RequestServer.h"
#include "support/Lingue.h"
#include "support/MessageBox.h"

#include <QDir>

namespace settings {

namespace {

constexpr int FuelStateChanging = 3;

// The texts of the message about blocks not written: the dictionary's section in the
// current language, these where it has none.
const QString LoadSection = QStringLiteral("[ParamFileLoad]");
const QStringList LoadTexts = {
    QStringLiteral("The parameter file was not loaded completely:"),
    QStringLiteral("Not written to the ECU:"),
    QStringLiteral("Nothing was saved in the ECU's flash. Send the whole file again?"),
};
enum LoadText { NotLoaded, NotWritten, SendAgain };

void RedrawModel(const app::PageServices& pages) {
    pages.DrawRefLineMod();
    bool redraw = false;
    pages.PlottaMatricePuntiMod(redraw);
    pages.AggiornaStatoPuntoMod();
}

QString PlainCaption(const app::ProgramContext& ctx) {
    return ctx.Texts.AppTitle + " - " + app::ReleaseText;
}

// Only a file that the program and the ECU both hold whole is named.
QString FileCaption(const app::ProgramContext& ctx, const QString& path) {
    return PlainCaption(ctx) + " - [" + path + "]";
}

// The images take the file as the pages show them; nothing is sent.
void LoadOffLine(const QString& path, app::ProgramContext& ctx, const app::PageServices& pages) {
    pages.RefreshParamPages();
    ReadCompBlocks(path, ctx);
    pages.LoadEmulaFromParFile(path);
    ecudata::FixTblCor(ctx.Images);
    RedrawModel(pages);
}

QString NotWrittenMessage(const QString& path, const app::ProgramContext& ctx,
                          const QList<ecudata::ParamBlock>& blocks) {
    const QStringList dictionary =
        support::SectionTexts(ctx.ObjLingue, LoadSection, static_cast<int>(LoadTexts.size()));
    const auto text = [&](int entry) {
        const QString word = dictionary.value(entry);
        return word.isEmpty() ? LoadTexts.value(entry) : word;
    };
    QString message =
        text(NotLoaded) + "\r\n" + QDir::toNativeSeparators(path) + "\r\n\r\n" + text(NotWritten);
    for (const ecudata::ParamBlock block : blocks) {
        message += "\r\n- " + app::BlockName(ctx, block);
    }
    return message + "\r\n\r\n" + text(SendAgain);
}

// The ECU keeps what it took, unsaved; whether the whole file goes again is the
// installer's choice. True to send it again.
bool AskToSendAgain(const QString& path, app::ProgramContext& ctx,
                    const QList<ecudata::ParamBlock>& blocks) {
    const int answer =
        support::MsgBox(NotWrittenMessage(path, ctx, blocks),
                        support::vbYesNo | support::vbExclamation, ctx.Texts.AppTitle);
    ctx.Comm().LoadWDogSend();
    return answer == support::vbYes;
}

// After the send: the flash save once every block is in, the caption, the question after
// a load that is not whole. True when the file is done with.
bool Conclude(const QString& path, const ecudata::ParamFileLoad& load, app::ProgramContext& ctx,
              const app::PageServices& pages, const CaptionSetter& setCaption) {
    if (!load.read) {
        return true; // refused, and the installer told: nothing changed
    }
    comm::ClsComm& link = ctx.Comm();
    if (link.ComState() == comm::COM_STOP) {
        LoadOffLine(path, ctx, pages);
        setCaption(FileCaption(ctx, path));
        // Named while off-line; one queued for the ECU is told as not sent once back.
        ctx.OffLineFile = path;
        ctx.OffLineFileUnsent = ctx.ParamFileQueuedOnLine;
        return true;
    }
    ctx.OffLineFile.clear();
    if (!load.Complete()) {
        setCaption(PlainCaption(ctx));
        return !AskToSendAgain(path, ctx, load.notWritten);
    }
    ecudata::FixTblCor(ctx.Images);
    RedrawModel(pages);
    // A failed save keeps the file queued: it is sent again whole.
    const bool saved = ecudata::SendSaveFlash(link);
    if (saved) {
        // An update's backup sent whole: its set is in an ECU again.
        ecudata::ClearUnfinishedUpdateIfSent(ctx.AppFolder, path);
    }
    // Switched to petrol by this try or by an earlier one that failed.
    if (saved && ctx.ParamFileSwitchedFuel) {
        ecudata::EcuModel model = ctx.Model();
        ecudata::SwitchFuelMode(link, model);
    }
    setCaption(saved ? FileCaption(ctx, path) : PlainCaption(ctx));
    return saved;
}

} // namespace

void ReadCompBlocks(const QString& path, app::ProgramContext& ctx) {
    QString error;
    const std::optional<ecudata::ParamFileData> data =
        ecudata::ReadParamFile(path, ctx.Scale, error);
    if (!data) {
        return;
    }
    for (std::size_t t = 0; t < ecudata::CompTables.size(); ++t) {
        const ecudata::CompTblInfo& info = ecudata::CompTables[t];
        if (!data->comp[t].isEmpty() &&
            ecudata::CompTblFromBytes(data->comp[t], info.form,
                                      ecudata::CompTable(ctx.Images, info.id))) {
            ctx.Images.CompEdit[t].Clear();
            ctx.Images.Blocks.SetRead(ecudata::CompBlock(info.id));
        }
    }
    ++ctx.Images.CompTblReads;
}

bool FileParametriInvia(const QString& path, app::ProgramContext& ctx,
                        const app::PageServices& pages, const CaptionSetter& setCaption) {
    comm::ClsComm& link = ctx.Comm();
    ecudata::EcuModel model = ctx.Model();
    if (ctx.Images.Mem2Data.FuelState == FuelStateChanging) {
        ecudata::SwitchFuelMode(link, model);
        ctx.ParamFileSwitchedFuel = true;
    }
    const ecudata::ParamFileLoad load = ecudata::SendParamFile(path, link, model, ctx.ParamNoSend);
    ctx.Requests.RefreshPending = true;
    const bool done = Conclude(path, load, ctx, pages, setCaption);
    if (done) {
        ctx.ParamFileSwitchedFuel = false;
    }
    return done;
}

} // namespace settings
