// The firmware image BIN/TarvencoInj468.frh (S2 records, plain or scrambled, with the
// identity block's address after "[AdrFrmwarEcu]") over the shipped flash map: any
// bytes are read without harm, and an image that is refused leaves the identity as it
// was.

#include "FuzzLink.h"

#include "ecudata/FirmwareImage.h"

namespace {

// The flash map the program ships: two blocks of 256 KiB.
const QByteArray FlashMap = "H00F80000 H00FBFFFF\r\nH00FC0000 H00FFFFFF\r\n";
const QString FlashIni = QStringLiteral("/BIN/Flash.ini");
const QString Image = QStringLiteral("/BIN/TarvencoInj468.frh");
const QString PreviousIdentity = QStringLiteral("0102030405 previous identity");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput(FlashIni, FlashMap);
    const QString path = fuzz::WriteInput(Image, data, size);
    fuzz::LinkRig rig;
    comm::ClsComm& link = rig.link;
    link.FirmwareFle(PreviousIdentity);

    if (ecudata::LoadFirmwareFileInfo(link)) {
        // 6 bytes as 12 hex digits, then 32 characters.
        FUZZ_CHECK(link.FirmwareFle().size() == 12 + 32);
    } else {
        FUZZ_CHECK(link.FirmwareFle() == PreviousIdentity);
    }
    FUZZ_CHECK(link.TableFlashUBound() < 16 * 1024 * 1024);
    (void)link.FirmwareFleVersStr();
    (void)link.FirmwareFleDataStr();
    (void)link.DescProgettoFle_CODICE();

    const QStringList addresses = ecudata::ReadFirmwareAddresses(path, link);
    FUZZ_CHECK(!addresses.isEmpty());
    return 0;
}
