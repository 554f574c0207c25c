#include "ecudata/CompTables.h"

#include "ecudata/EcuImages.h"
#include "ecudata/ZoneCodec.h"
#include "ecudata/ZoneExchange.h"
#include "link/ClsComm.h"
#include "support/Conversions.h"
#include "support/FileRoutines.h"

#include <QFile>
#include <algorithm>

namespace ecudata {

const std::array<CompTblInfo, 4> CompTables = {{
    {1, 55, 58, CompForm::Bytes, "[BLKCompTempGas]"},
    {2, 54, 57, CompForm::Bytes, "[BLKCompTempRid]"},
    {3, 56, 59, CompForm::Words, "[BLKCompPress]"},
    {4, 93, 94, CompForm::Words, "[BLKSmagAcc]"},
}};

namespace {

constexpr int Elements = 32;

int WireBytes(CompForm form) {
    return form == CompForm::Bytes ? Elements : 2 * Elements;
}

void Decode(const QByteArray& bytes, CompForm form, CompTbl& table) {
    if (form == CompForm::Bytes) {
        for (int i = 0; i < Elements; ++i) {
            table[i] = ByteToSigned(static_cast<quint8>(bytes[i]));
        }
        return;
    }
    HexReader r(support::ByteStrToHex(bytes));
    for (int i = 0; i < Elements; ++i) {
        table[i] = r.Int16();
    }
}

// The lines of a parameter file (CR LF, a lone LF tolerated); none when it cannot be read.
QStringList FileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList lines;
    for (QByteArray line : file.readAll().split('\n')) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        lines.append(QString::fromLatin1(line));
    }
    return lines;
}

// Decodes the line after each marker of the tables whose id passes the filter.
template <class Filter> void LoadSections(const QString& path, EcuImages& images, Filter wanted) {
    const QStringList lines = FileLines(path);
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        for (const CompTblInfo& info : CompTables) {
            if (wanted(info.id) && line == QLatin1String(info.marker)) {
                CompTblFromHexLine(lines[++i], info.form, CompTable(images, info.id));
                break;
            }
        }
    }
}

} // namespace

CompTbl& CompTable(EcuImages& images, int id) {
    switch (id) {
    case 1:
        return images.CompTblGasTemp;
    case 2:
        return images.CompTblRidTemp;
    case 3:
        return images.CompTblPress;
    default:
        return images.CompTblSmag;
    }
}

const CompTbl& CompTable(const EcuImages& images, int id) {
    return CompTable(const_cast<EcuImages&>(images), id);
}

CompTbl ShownCompTable(const EcuImages& images, int id) {
    return images.CompEdit[std::size_t(id - 1)].Merge(CompTable(images, id));
}

void ClampCompTbl(CompTbl& table, CompForm form) {
    const qint32 low = form == CompForm::Bytes ? -128 : 0;
    const qint32 high = form == CompForm::Bytes ? 127 : 4000;
    for (int i = 0; i < Elements; i += 2) {
        table[i] = std::clamp(table[i], low, high);
        table[i + 1] = std::clamp(table[i + 1], -100, 100);
    }
}

QByteArray CompTblToBytes(CompTbl& table, CompForm form) {
    ClampCompTbl(table, form);
    if (form == CompForm::Bytes) {
        QByteArray bytes;
        for (const qint32 v : table) {
            bytes.append(static_cast<char>(SignedToByte(v)));
        }
        return bytes;
    }
    HexWriter w;
    for (const qint32 v : table) {
        w.Word(v, HexConv::Int16);
    }
    QString hex = w.Text();
    return support::HexToByteStr(hex);
}

bool CompTblFromBytes(const QByteArray& data, CompForm form, CompTbl& table) {
    if (data.size() < WireBytes(form)) {
        return false;
    }
    Decode(data, form, table);
    return true;
}

bool CompTblFromHexLine(const QString& line, CompForm form, CompTbl& table) {
    QString hex = line.trimmed();
    if (hex.size() != 2 * WireBytes(form)) {
        return false;
    }
    const QByteArray bytes = support::HexToByteStr(hex);
    if (bytes.size() != WireBytes(form)) {
        return false;
    }
    Decode(bytes, form, table);
    return true;
}

void LoadCompTblsFile(const QString& path, EcuImages& images) {
    LoadSections(path, images, [](int) { return true; });
}

void LoadSmagAccFile(const QString& path, EcuImages& images) {
    LoadSections(path, images, [](int id) { return id == 4; });
}

bool EcuHasSmagTable(const comm::ClsComm& link) {
    return !support::IsDateNewer(link.FirmwareFleDataStr(), link.FirmwareEcuDataStr());
}

bool ReadCompTbls(comm::ClsComm& link, EcuImages& images) {
    const auto read = [&](const CompTblInfo& info) {
        const auto data = SendQueuedRead(link, info.readCmd);
        if (!data || !CompTblFromBytes(*data, info.form, CompTable(images, info.id))) {
            return false;
        }
        images.Blocks.SetRead(CompBlock(info.id));
        ++images.CompTblReads;
        return true;
    };
    const bool ok = read(CompTables[1]) && read(CompTables[0]) && read(CompTables[2]);
    if (!EcuHasSmagTable(link)) {
        LoadSmagAccFile(link.AppFolder() + "/LNG/Default.Xar", images);
        images.Blocks.SetRead(CompBlock(4));
        ++images.CompTblReads;
        return ok;
    }
    return ok && read(CompTables[3]);
}

bool WriteCompTbl(comm::ClsComm& link, EcuImages& images, int id) {
    for (const CompTblInfo& info : CompTables) {
        if (id != 0 && id != info.id) {
            continue;
        }
        auto& edits = images.CompEdit[std::size_t(info.id - 1)];
        const auto carried = edits;
        CompTbl shown = ShownCompTable(images, info.id);
        const QByteArray payload = CompTblToBytes(shown, info.form);
        const bool ok = SendRequest(link, info.writeCmd, payload);
        images.Blocks.WriteEnded(CompBlock(info.id), ok, link.ExchangeRefused());
        if (!ok) {
            return false;
        }
        CompTable(images, info.id) = shown;
        edits.ClearCarried(carried);
    }
    return true;
}

} // namespace ecudata
