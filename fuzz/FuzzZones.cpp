// The zone decoders on any reply frame: the live record, both parameter records, the map
// samples, the emulation block, the compensation tables and the correction table. The
// parameter records go first, so that the clock constants they set are the ones the
// live record and the samples then divide by. A reply too short for its zone is a failed
// read and leaves the image as it was.

#include "FuzzSupport.h"

#include "ecudata/CompTables.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/CorrectionTable.h"
#include "ecudata/EcuImages.h"
#include "ecudata/EcuRequests.h"
#include "ecudata/EmulaBlock.h"
#include "ecudata/LiveData.h"
#include "ecudata/MapSamples.h"
#include "ecudata/ParamRecords.h"
#include "ecudata/ZoneCodec.h"
#include "support/Conversions.h"

using namespace ecudata;

namespace {

void ParseRecords(const QByteArray& frame, EcuImages& images, EcuRequests& requests,
                  ConfigScale& scale) {
    const qsizetype dataSize = ReplyData(frame).size();

    const Mem2Rec mem2 = images.Mem2Data;
    FUZZ_CHECK(ParseMem2(frame, images, scale) == (dataSize >= Mem2WireSize));
    FUZZ_CHECK(dataSize >= Mem2WireSize || images.Mem2Data == mem2);

    const Mem3Rec mem3 = images.Mem3Data;
    FUZZ_CHECK(ParseMem3(frame, images, requests, scale) == (dataSize >= Mem3WireSize));
    FUZZ_CHECK(dataSize >= Mem3WireSize || images.Mem3Data == mem3);
    if (dataSize >= Mem3WireSize) {
        FUZZ_CHECK(images.Mem3Data.Bobine >= 1 && images.Mem3Data.Bobine <= 8);
        FUZZ_CHECK(images.Mem3Data.Cilindri >= 1 && images.Mem3Data.Cilindri <= 8);
    }

    const Mem1Rec mem1 = images.Mem1Data;
    FUZZ_CHECK(ParseMem1(frame, images, scale) == (dataSize >= Mem1WireSize));
    FUZZ_CHECK(dataSize >= Mem1WireSize || images.Mem1Data == mem1);
}

void ParseSamples(const QByteArray& frame, EcuImages& images, const ConfigScale& scale) {
    const bool whole = ReplyData(frame).size() >= SmplWireSize;
    for (quint8 part : {0, 1}) {
        FUZZ_CHECK(ParseSmplBnz(frame, part, images, scale) == whole);
        FUZZ_CHECK(ParseSmplGas(frame, part, images, scale) == whole);
    }
    const EmulaBlk emula = images.EmulaBlkData;
    FUZZ_CHECK(StoreEmulaReply(frame, images) == (ReplyData(frame).size() == EmulaBlkSize));
    FUZZ_CHECK(ReplyData(frame).size() == EmulaBlkSize || images.EmulaBlkData == emula);
}

void DecodeTables(const QByteArray& frame, EcuImages& images, const ConfigScale& scale) {
    const QByteArray data = ReplyData(frame);
    CompTblFromBytes(data, CompForm::Bytes, images.CompTblGasTemp);
    CompTblFromBytes(data, CompForm::Words, images.CompTblPress);

    // The same bytes as the hex text of a parameter-file line and of correction blocks,
    // and as raw text, which need not be hex at all.
    const QString hex = support::ByteStrToHex(data);
    const QString text = QString::fromLatin1(frame);
    for (const QString& line : {hex, text}) {
        CompTblFromHexLine(line, CompForm::Bytes, images.CompTblRidTemp);
        CompTblFromHexLine(line, CompForm::Words, images.CompTblSmag);
        for (int block = 0; block < TblCorBlocks; ++block) {
            DecodeTblCorBlock(line, block, images.TblCorRead, scale);
        }
        // Every field width, on past the end of the text.
        HexReader reader(line);
        constexpr int DigitsPerRound = 2 + 4 + 4 + 8;
        for (qsizetype taken = 0; taken <= reader.Size() + DigitsPerRound;
             taken += DigitsPerRound) {
            reader.Byte();
            reader.Int16();
            reader.UInt16();
            reader.UInt32();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray frame(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    EcuImages images;
    EcuRequests requests;
    ConfigScale scale;
    ParseRecords(frame, images, requests, scale);
    ParseSamples(frame, images, scale);
    DecodeTables(frame, images, scale);
    return 0;
}
