// Parameter files (*.var, LNG/Default.Xar): any bytes are read without harm, a file that
// is taken holds whole blocks and a correction table the ECU can take, and a file that
// is refused says why. A file taken is loaded into the images as a send while the link
// is stopped loads it, and saved again: once saved by the program, a file reads back,
// loads and saves to the same bytes. The compensation-table loaders read the same file.

#include "FuzzLink.h"

#include "ecudata/CompTables.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/EcuImages.h"
#include "ecudata/EcuModel.h"
#include "ecudata/EcuRequests.h"
#include "ecudata/EmulaBlock.h"
#include "ecudata/ParamFile.h"
#include "link/Frames.h"

#include <QFile>
#include <cstdio>

using namespace ecudata;

namespace {

const QString InputPath = QStringLiteral("/LNG/Input.var");
const QString SavedPath = QStringLiteral("/LNG/Saved.var");
const ParamFileInfo Info{QStringLiteral("1.0.0"), QStringLiteral("LX735"),
                         QStringLiteral("01/02/2024 10:20:30")};

struct Model {
    EcuImages images;
    EcuRequests requests;
    ConfigScale scale;
    EcuModel View() { return {images, requests, scale}; }
};

void CheckData(const std::optional<ParamFileData>& data, const QString& error,
               const ConfigScale& scale) {
    if (!data) {
        FUZZ_CHECK(!error.isEmpty());
        return;
    }
    FUZZ_CHECK(data->mem2.size() == Mem2WireSize);
    FUZZ_CHECK(data->mem3.size() == Mem3WireSize);
    for (std::size_t t = 0; t < CompTables.size(); ++t) {
        const int whole = CompTables[t].form == CompForm::Bytes ? 32 : 64;
        FUZZ_CHECK(data->comp[t].isEmpty() || data->comp[t].size() == whole);
    }
    FUZZ_CHECK(data->emula.isEmpty() || data->emula.size() == EmulaBlkSize);
    FUZZ_CHECK(TblCorFitsWire(data->cor, scale));
}

QByteArray ReadBack(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Loads the file into fresh images as a send with the link stopped does (records and
// correction table; the tables and the emulation block as the file gives them) and
// saves the images; the bytes saved.
QByteArray LoadAndSave(const QString& path, const ParamFileData& data, const QString& decimalSep) {
    fuzz::RemoveFile(QStringLiteral("/BIN/RxTx.TXT"));
    fuzz::LinkRig rig;
    rig.link.ComState(comm::COM_STOP);
    Model model;
    EcuModel view = model.View();
    quint8 noSend = 0;
    FUZZ_CHECK(SendParamFile(path, rig.link, view, noSend).read);
    for (std::size_t t = 0; t < CompTables.size(); ++t) {
        if (!data.comp[t].isEmpty()) {
            CompTblFromBytes(data.comp[t], CompTables[t].form,
                             CompTable(model.images, CompTables[t].id));
        }
    }
    if (!data.emula.isEmpty()) {
        StoreEmulaReply(comm::BuildMsg(comm::ReplyHeader, comm::ReplyByte2, comm::CMD_READ_EMUS,
                                       QByteArray(1, '\0') + data.emula),
                        model.images);
    }
    const QString saved = fuzz::Root() + SavedPath;
    FUZZ_CHECK(SaveParamFile(saved, view, Info, decimalSep));
    return ReadBack(saved);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz::WriteInput(InputPath, data, size);
    const ConfigScale scale;
    QString error;
    const std::optional<ParamFileData> file = ReadParamFile(path, scale, error);
    CheckData(file, error, scale);

    EcuImages images;
    LoadCompTblsFile(path, images);
    LoadSmagAccFile(path, images);

    if (!file) {
        return 0;
    }
    for (const QString& decimalSep : {QStringLiteral(","), QStringLiteral(".")}) {
        const QByteArray once = LoadAndSave(path, *file, decimalSep);
        const QString savedPath = fuzz::Root() + SavedPath;
        QString savedError;
        const std::optional<ParamFileData> saved = ReadParamFile(savedPath, scale, savedError);
        if (!saved) {
            std::fprintf(stderr, "the saved file is refused: %s\n", qPrintable(savedError));
        }
        FUZZ_CHECK(saved.has_value());
        CheckData(saved, savedError, scale);
        FUZZ_CHECK(LoadAndSave(savedPath, *saved, decimalSep) == once);
    }
    return 0;
}
