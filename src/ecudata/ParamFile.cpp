#include "ecudata/ParamFile.h"

#include "ecudata/CompTables.h"
#include "ecudata/ConfigLines.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/EcuImages.h"
#include "ecudata/EcuModel.h"
#include "ecudata/EcuRequests.h"
#include "ecudata/FuelMode.h"
#include "ecudata/ParamRecords.h"
#include "ecudata/ZoneExchange.h"
#include "link/ClsComm.h"
#include "link/Frames.h"
#include "link/LinkHost.h"
#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/Conversions.h"
#include "support/FileRoutines.h"
#include "support/FileWriter.h"
#include "support/MessageBox.h"
#include "support/ProgramTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

namespace ecudata {

namespace {

const QString InfoMarker = QStringLiteral("[INFO]");
const QString Blk2Marker = QStringLiteral("[BLK2]");
const QString Blk3Marker = QStringLiteral("[BLK3]");
const QString EmulaMarker = QStringLiteral("[EmulaLambda]");
const QString CorMarker = QStringLiteral("[COR]");
const QString Mem2Prefix = QStringLiteral("B2");
const QString Mem3Prefix = QStringLiteral("B3");

constexpr int TblCorRetries = 3;
constexpr double TblCorRetryWaitUsec = 250000;

// The records' lines are decoded as if the ECU had sent them: reply frames with these
// heads and a dummy checksum.
constexpr char Mem2ReplyHead[] = "42010F0D00";
constexpr char Mem3ReplyHead[] = "4201480E00";

int CompWireBytes(CompForm form) {
    return form == CompForm::Bytes ? 32 : 64;
}

QString Lines(const QStringList& lines) {
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

// Zone 2 as a file carries it: the fuel state 0, and never an hour reset (the counters
// are the ECU's own).
QByteArray FileMem2(const EcuImages& images) {
    Mem2Rec record = images.Mem2Data;
    Mem2Rec edits = images.Mem2Write;
    record.FuelState = 0;
    edits.HoursGas = 0;
    edits.HoursBenz = 0;
    return BuildMem2(record, edits);
}

// Zone 3 as a file carries it: with a pending injector set-up step made (a new cylinder
// count switches its cylinders on), every cylinder that is not off as plainly on.
QByteArray FileMem3(const EcuModel& model) {
    EcuImages img = model.images;
    ConfigScale scale = model.scale;
    EcuRequests requests = model.requests;
    BuildMem3(img.Mem3Data, img.Mem3Write, scale, requests);
    for (int step = 0; step < 16 && requests.InjSetMode > 0; ++step) {
        StepInjSet(img, requests);
        BuildMem3(img.Mem3Data, img.Mem3Write, scale, requests);
    }
    Mem3Rec record = img.Mem3Data;
    Mem3Rec edits = img.Mem3Write;
    for (quint8& state : record.CylState) {
        state = state != 0 ? 1 : 0;
    }
    return BuildMem3(record, edits, scale, requests);
}

// ---- Reading

// The file's lines; a lone LF ends a line too.
QStringList SplitLines(const QByteArray& bytes) {
    QList<QByteArray> raw = bytes.split('\n');
    if (!raw.isEmpty() && raw.last().isEmpty()) {
        raw.removeLast(); // the end of the last line
    }
    QStringList lines;
    for (QByteArray& line : raw) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        lines.append(support::DecodeCp1252(line));
    }
    return lines;
}

// Exactly `bytes` bytes as hex digits (blanks around them aside).
std::optional<QByteArray> HexBlock(const QString& text, int bytes) {
    QString hex = text.trimmed();
    if (hex.size() != 2 * bytes) {
        return std::nullopt;
    }
    const QByteArray block = support::HexToByteStr(hex);
    return block.size() == bytes ? std::optional(block) : std::nullopt;
}

class Reader {
public:
    explicit Reader(const QStringList& lines) : lines_(lines) {}

    // With a scale the set must also be whole and fit the ECU.
    std::optional<ParamFileData> Read(QString& error, const ConfigScale* scale) {
        for (i_ = 0; i_ < lines_.size() && error_.isEmpty(); ++i_) {
            Line(lines_[i_].trimmed());
        }
        if (error_.isEmpty() && scale) {
            CheckComplete(*scale);
        }
        if (!error_.isEmpty()) {
            error = error_;
            return std::nullopt;
        }
        return data_;
    }

private:
    void Line(const QString& line) {
        if (line.startsWith(Mem2Prefix)) {
            Record(line, data_.mem2, Mem2WireSize, "zone-2 record (B2)");
        } else if (line.startsWith(Mem3Prefix)) {
            Record(line, data_.mem3, Mem3WireSize, "zone-3 record (B3)");
        } else if (line == EmulaMarker) {
            Emulation();
        } else if (line == CorMarker) {
            Correction();
        } else {
            for (std::size_t t = 0; t < CompTables.size(); ++t) {
                if (line == QLatin1String(CompTables[t].marker)) {
                    Table(t);
                    break;
                }
            }
        }
    }

    void Record(const QString& line, QByteArray& into, int bytes, const char* what) {
        const std::optional<QByteArray> block = HexBlock(line.mid(2), bytes);
        if (!block) {
            Fail(QStringLiteral("line %1: the %2 must be %3 bytes in hex digits")
                     .arg(i_ + 1)
                     .arg(QLatin1String(what))
                     .arg(bytes));
            return;
        }
        into = *block;
    }

    // The line after the marker; nothing (and the error) when the file ends first.
    std::optional<QString> NextLine(const QString& marker) {
        if (i_ + 1 >= lines_.size()) {
            Fail(QStringLiteral("the file ends inside the block %1").arg(marker));
            return std::nullopt;
        }
        return lines_[++i_];
    }

    void Table(std::size_t t) {
        const CompTblInfo& info = CompTables[t];
        const QString marker = QLatin1String(info.marker);
        const std::optional<QString> line = NextLine(marker);
        if (!line) {
            return;
        }
        const std::optional<QByteArray> block = HexBlock(*line, CompWireBytes(info.form));
        if (!block) {
            Fail(QStringLiteral("line %1: the block %2 must be %3 bytes in hex digits")
                     .arg(i_ + 1)
                     .arg(marker)
                     .arg(CompWireBytes(info.form)));
            return;
        }
        data_.comp[t] = *block;
    }

    // An empty line: the set was saved before the ECU's block was ever read.
    void Emulation() {
        const std::optional<QString> line = NextLine(EmulaMarker);
        if (!line || line->trimmed().isEmpty()) {
            return;
        }
        const std::optional<QByteArray> block = HexBlock(*line, EmulaBlkSize);
        if (!block) {
            Fail(QStringLiteral("line %1: the block %2 must be %3 bytes in hex digits")
                     .arg(i_ + 1)
                     .arg(EmulaMarker)
                     .arg(EmulaBlkSize));
            return;
        }
        data_.emula = *block;
    }

    void Correction() {
        for (std::size_t k = 0; k < data_.cor.size(); ++k) {
            if (i_ + 1 >= lines_.size()) {
                Fail(QStringLiteral("the block %1 ends after %2 of its %3 values")
                         .arg(CorMarker)
                         .arg(k)
                         .arg(data_.cor.size()));
                return;
            }
            const QString text = lines_[++i_].trimmed();
            const std::optional<double> value = ParseGeneralNumber(text);
            if (!value) {
                Fail(QStringLiteral("line %1: \"%2\" is not a number").arg(i_ + 1).arg(text));
                return;
            }
            data_.cor[k] = *value;
        }
        if (data_.cor.back() != -1) {
            ConvertOldTblCorLayout(data_.cor);
            // Marked as converted: a file saved from it later must not be shifted again.
            data_.cor.back() = -1;
        }
        hasCor_ = true;
    }

    void CheckComplete(const ConfigScale& scale) {
        if (data_.mem2.isEmpty()) {
            Fail(QStringLiteral("it holds no zone-2 record (B2)"));
        } else if (data_.mem3.isEmpty()) {
            Fail(QStringLiteral("it holds no zone-3 record (B3)"));
        } else if (!hasCor_) {
            Fail(QStringLiteral("it holds no correction table %1").arg(CorMarker));
        } else if (!TblCorFitsWire(data_.cor, scale)) {
            Fail(QStringLiteral("its correction table holds a value the ECU cannot take"));
        }
    }

    void Fail(const QString& what) {
        if (error_.isEmpty()) {
            error_ = what;
        }
    }

    const QStringList& lines_;
    qsizetype i_ = 0;
    ParamFileData data_;
    bool hasCor_ = false;
    QString error_;
};

// One reading for the load's check and the off-line import, so that they take the same
// lines.
std::optional<ParamFileData> ReadFile(const QString& path, const ConfigScale* scale,
                                      QString& error) {
    QFile file(path);
    if (!support::IsFilePresent(path) || !file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("it cannot be read");
        return std::nullopt;
    }
    const QStringList lines = SplitLines(file.readAll());
    return Reader(lines).Read(error, scale);
}

// ---- Loading and sending

QByteArray RecordReply(const char* head, const QByteArray& data) {
    return QByteArray::fromHex(head) + data + QByteArray(1, '\xFF');
}

// What a failed send puts back: the records as they were before the file, and the
// pending edits the installer had made.
struct Before {
    Mem2Rec mem2Write;
    Mem3Rec mem3Write;

    void Restore(EcuModel& model, bool mem2Too) const {
        EcuImages& img = model.images;
        if (mem2Too) {
            img.Mem2Data = img.Mem2Prev;
            model.scale.RpmClock = GetRpmClock(img.Mem2Data.Flags);
        }
        img.Mem3Data = img.Mem3Prev;
        model.scale.K_gm = CalcRpmConst(img.Mem3Data);
        img.Mem2Write = mem2Write;
        img.Mem3Write = mem3Write;
    }
};

void LoadRecords(const ParamFileData& data, EcuModel& model) {
    EcuImages& img = model.images;
    img.Mem2Prev = img.Mem2Data;
    img.Mem3Prev = img.Mem3Data;
    ParseMem2(RecordReply(Mem2ReplyHead, data.mem2), img, model.scale);
    // The service hours are the ECU's: a file never changes them.
    img.Mem2Data.HoursGas = img.Mem2Prev.HoursGas;
    img.Mem2Data.HoursBenz = img.Mem2Prev.HoursBenz;
    ParseMem3(RecordReply(Mem3ReplyHead, data.mem3), img, model.requests, model.scale);
    img.TblCorEdit = data.cor;
    img.Blocks.SetRead(EditBlock::Correction);
}

// The records go out as the file has them; edits the installer made after choosing the
// file stay pending and are written after it.
bool SendMem2(comm::ClsComm& link, EcuImages& img) {
    Mem2Rec whole = img.Mem2Data;
    whole.Flags = whole.FlagsMask = 0;
    whole.HoursGas = whole.HoursBenz = 0;
    return SendRequest(link, comm::CMD_WRT_MEM2, BuildMem2(img.Mem2Data, whole));
}

bool SendMem3(comm::ClsComm& link, EcuModel& model) {
    EcuImages& img = model.images;
    Mem3Rec whole = img.Mem3Data;
    return SendRequest(link, comm::CMD_WRT_MEM3,
                       BuildMem3(img.Mem3Data, whole, model.scale, model.requests));
}

ParamBlock ParamCompBlock(std::size_t table) {
    return static_cast<ParamBlock>(static_cast<std::size_t>(ParamBlock::CompGasTemp) + table);
}

std::size_t CompIndex(ParamBlock block) {
    return static_cast<std::size_t>(block) - static_cast<std::size_t>(ParamBlock::CompGasTemp);
}

// The images take the table as the ECU gives it back.
bool SendCompTable(comm::ClsComm& link, const CompTblInfo& info, const QByteArray& bytes,
                   EcuImages& img) {
    if (!SendRequest(link, info.writeCmd, bytes)) {
        return false;
    }
    const std::optional<QByteArray> read = SendQueuedRead(link, info.readCmd);
    if (!read || !CompTblFromBytes(*read, info.form, CompTable(img, info.id))) {
        return false;
    }
    img.Blocks.SetRead(CompBlock(info.id));
    ++img.CompTblReads;
    return true;
}

// The blocks the file holds that the ECU can take, in the order they are sent.
QList<ParamBlock> BlocksToSend(const ParamFileData& data, quint8 ParamNoSend,
                               const comm::ClsComm& link) {
    if (ParamNoSend != 0) {
        return {ParamBlock::Correction};
    }
    QList<ParamBlock> blocks{ParamBlock::Mem2, ParamBlock::Mem3};
    for (std::size_t t = 0; t < CompTables.size(); ++t) {
        const ParamBlock block = ParamCompBlock(t);
        if (!data.comp[t].isEmpty() && (block != ParamBlock::CompSmag || EcuHasSmagTable(link))) {
            blocks << block;
        }
    }
    if (!data.emula.isEmpty()) {
        blocks << ParamBlock::Emulation;
    }
    blocks << ParamBlock::Correction;
    return blocks;
}

// One block written, then read back into the images. A record whose write fails is put
// back with the pending edits.
bool SendBlock(ParamBlock block, const ParamFileData& data, comm::ClsComm& link, EcuModel& model,
               const Before& before) {
    EcuImages& img = model.images;
    switch (block) {
    case ParamBlock::Mem2:
        if (!SendMem2(link, img)) {
            before.Restore(model, true);
            return false;
        }
        return SendParsedRead(link, comm::CMD_READ_MEM2, img);
    case ParamBlock::Mem3:
        if (!SendMem3(link, model)) {
            before.Restore(model, false);
            return false;
        }
        return SendParsedRead(link, comm::CMD_READ_MEM3, img);
    case ParamBlock::Emulation:
        return SendRequest(link, comm::CMD_WRIT_EMUS, data.emula) &&
               SendParsedRead(link, comm::CMD_READ_EMUS, img);
    case ParamBlock::Correction:
        return WriteTblCor(link, model) && ReadTblCor(link, model);
    default:
        return SendCompTable(link, CompTables[CompIndex(block)], data.comp[CompIndex(block)], img);
    }
}

bool EcuRequests::*ReadFlag(ParamBlock block) {
    switch (block) {
    case ParamBlock::Mem2:
        return &EcuRequests::ReqReadMem2;
    case ParamBlock::Mem3:
        return &EcuRequests::ReqReadMem3;
    case ParamBlock::Emulation:
        return &EcuRequests::ReqReadEmus;
    case ParamBlock::Correction:
        return &EcuRequests::ReqReadTblCor;
    default:
        return &EcuRequests::ReqReadComp;
    }
}

// As the request server: the ECU is written only once it has been identified on a
// running link.
bool CanSend(const comm::ClsComm& link, const EcuRequests& requests) {
    return requests.FirmwareOk && link.ComState() != comm::COM_STOP;
}

QString CleanPath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool IsDefaultSet(const QString& path, const QString& appFolder) {
    const QString p = CleanPath(path);
    return p == CleanPath(DefaultXarPath(appFolder)) ||
           p == CleanPath(DefaultCngXarPath(appFolder));
}

void ShowRejected(const QString& path, const QString& reason) {
    support::MsgBox(support::Text(support::ProgramText::ParamNotLoaded)
                        .arg(QDir::toNativeSeparators(path), reason),
                    support::vbExclamation, QString());
}

} // namespace

QString DefaultXarPath(const QString& appFolder) {
    return appFolder + QStringLiteral("/LNG/Default.Xar");
}

QString DefaultCngXarPath(const QString& appFolder) {
    return appFolder + QStringLiteral("/LNG/DefaultCng.Xar");
}

std::optional<double> ParseGeneralNumber(const QString& text) {
    return support::DataFileNumber(text);
}

QByteArray BuildParamFile(EcuModel& model, const ParamFileInfo& info, const QString& decimalSep) {
    EcuImages& img = model.images;
    QStringList lines;
    lines << InfoMarker
          << info.release + u' ' + info.appTitle + QStringLiteral(", file created ") + info.created;
    lines << Blk2Marker << Mem2Prefix + support::ByteStrToHex(FileMem2(img));
    lines << Blk3Marker << Mem3Prefix + support::ByteStrToHex(FileMem3(model));
    for (const CompTblInfo& table : CompTables) {
        CompTbl shown = ShownCompTable(img, table.id);
        lines << QLatin1String(table.marker)
              << support::ByteStrToHex(CompTblToBytes(shown, table.form));
    }
    lines << EmulaMarker
          << (img.Blocks.Read(EditBlock::Emula)
                  ? support::ByteStrToHex(ByteArrayToStr(ShownEmula(img)))
                  : QString());
    lines << CorMarker;
    TblCor cor = img.TblCorEdit;
    if (model.requests.ModWriteCountdown > 0) {
        CalcTblCor(cor, img.ModPoints, model.scale); // the model as the page shows it
    }
    for (const double value : cor) {
        lines << (value >= 0 ? QStringLiteral(" ") : QString()) +
                     support::GeneralNumberText(value, decimalSep);
    }
    return support::EncodeCp1252(Lines(lines));
}

bool SaveParamFile(const QString& path, EcuModel& model, const ParamFileInfo& info,
                   const QString& decimalSep) {
    QString why;
    if (support::WriteWholeFile(path, BuildParamFile(model, info, decimalSep), &why)) {
        return true;
    }
    support::MsgBox(support::Text(support::ProgramText::ParamNotWritten)
                        .arg(QDir::toNativeSeparators(path), why),
                    support::vbExclamation, info.appTitle);
    return false;
}

std::optional<ParamFileData> ReadParamFile(const QString& path, const ConfigScale& scale,
                                           QString& error) {
    return ReadFile(path, &scale, error);
}

bool ImportParamFileEmula(const QString& path, EcuImages& images) {
    QString error;
    const std::optional<ParamFileData> data = ReadFile(path, nullptr, error);
    if (!data || data->emula.size() != EmulaBlkSize) {
        return false;
    }
    EmulaBlk block{};
    std::copy(data->emula.begin(), data->emula.end(), block.begin());
    // The file's block replaces any edit still waiting as well.
    images.EmulaBlkData = block;
    images.EmulaEdit.Clear();
    images.EmulaLine = EmulaReplyLine(block);
    images.Blocks.SetRead(EditBlock::Emula);
    return true;
}

void DropEditsForFile(const QString& path, EcuModel& model, quint8 ParamNoSend) {
    QString error;
    const std::optional<ParamFileData> data = ReadFile(path, &model.scale, error);
    if (!data) {
        return;
    }
    EcuImages& img = model.images;
    EcuRequests& r = model.requests;
    r.ModWriteCountdown = 0;
    if (ParamNoSend != 0) {
        return;
    }
    const Mem2Rec mem2 = img.Mem2Write;
    ResetMemToWrite(img);
    img.Mem2Write.HoursGas = mem2.HoursGas; // an hour reset is no setting a file holds
    img.Mem2Write.HoursBenz = mem2.HoursBenz;
    r.Mem2WriteCountdown = Mem2EditsPending(img.Mem2Write) ? r.Mem2WriteCountdown : 0;
    r.ReqWriteMem2 = r.ReqWriteMem2 && Mem2EditsPending(img.Mem2Write);
    r.Mem3WriteCountdown = 0;
    r.ReqWriteMem3 = false;
    bool compLeft = false;
    for (std::size_t t = 0; t < CompTables.size(); ++t) {
        if (!data->comp[t].isEmpty()) {
            img.CompEdit[t].Clear();
        }
        compLeft = compLeft || img.CompEdit[t].Any();
    }
    r.CompWriteCountdown = compLeft ? r.CompWriteCountdown : 0;
    if (!data->emula.isEmpty()) {
        img.EmulaEdit.Clear();
        r.EmulaWriteCountdown = 0;
        r.ReqWriteEmus = false;
    }
}

ParamFileLoad SendParamFile(const QString& path, comm::ClsComm& link, EcuModel& model,
                            quint8 ParamNoSend) {
    QString error;
    const std::optional<ParamFileData> data = ReadParamFile(path, model.scale, error);
    if (!data) {
        ShowRejected(path, error);
        return {};
    }
    EcuImages& img = model.images;
    const Before before{img.Mem2Write, img.Mem3Write};
    LoadRecords(*data, model);

    ParamFileLoad load{true, {}};
    for (const ParamBlock block : BlocksToSend(*data, ParamNoSend, link)) {
        if (!load.notWritten.isEmpty() || !CanSend(link, model.requests) ||
            !SendBlock(block, *data, link, model, before)) {
            load.notWritten << block;
            model.requests.*ReadFlag(block) = true;
        }
    }
    if (load.Complete() && IsDefaultSet(path, link.AppFolder())) {
        SendRequest(link, comm::CMD_CANC_ERR);
    }
    return load;
}

bool SendTblCor(comm::ClsComm& link, EcuModel& model, const QString& decimalSep) {
    EcuImages& img = model.images;
    const TblCor copy = img.TblCorEdit;
    const auto tries = [](const auto& exchange) {
        for (int t = 1; t <= TblCorRetries; ++t) {
            if (exchange()) {
                return true;
            }
            if (t < TblCorRetries) {
                support::WaitUsec(TblCorRetryWaitUsec);
            }
        }
        return false;
    };
    const bool ok = tries([&] { return WriteTblCor(link, model); }) &&
                    tries([&] { return ReadTblCor(link, model); });
    if (!ok) {
        img.TblCorEdit = copy;
        img.TblCorRead = copy;
    }
    if (link.Host() && link.Host()->DeveloperView()) {
        WriteTempi4(QCoreApplication::applicationDirPath() + QStringLiteral("/TEMPI4.TXT"),
                    img.TblCorEdit, decimalSep);
    }
    return ok;
}

bool WriteTempi4(const QString& path, const TblCor& table, const QString& decimalSep) {
    QStringList lines;
    for (std::size_t k = 0; k < table.size(); ++k) {
        lines << QStringLiteral("\"Val_corTempiGas[%1] = #%2@\"")
                     .arg(k)
                     .arg(support::GeneralNumberText(table[k], decimalSep));
    }
    return support::WriteWholeFile(path, support::EncodeCp1252(Lines(lines)));
}

} // namespace ecudata
