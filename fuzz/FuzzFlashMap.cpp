// The flash map BIN/Flash.ini: any bytes are read without harm, and a map that is taken
// has one ascending block per line within the table and a flash size that spans them.

#include "FuzzLink.h"

#include "ecudata/FirmwareImage.h"
#include "support/DataFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz::WriteInput(QStringLiteral("/BIN/Flash.ini"), data, size);
    fuzz::LinkRig rig;
    comm::ClsComm& link = rig.link;
    if (!ecudata::ReadFlashIni(link)) {
        return 0;
    }
    qint32 blocks = 0;
    for (const QString& line : support::ReadPlainFile(path)) {
        blocks += line.trimmed().isEmpty() ? 0 : 1;
    }
    FUZZ_CHECK(blocks >= 1 && link.BFlash(blocks - 1, 1).has_value());
    qint32 previousEnd = -1;
    for (qint32 row = 0; row < blocks; ++row) {
        FUZZ_CHECK(*link.BFlash(row, 0) > previousEnd);
        FUZZ_CHECK(*link.BFlash(row, 1) >= *link.BFlash(row, 0));
        previousEnd = *link.BFlash(row, 1);
    }
    FUZZ_CHECK(link.LargFlash() == previousEnd - *link.BFlash(0, 0));
    return 0;
}
