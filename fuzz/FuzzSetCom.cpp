// The port-settings file BIN/SetCom.ini: any bytes are read without harm, and what was
// read is written back in a form that reads back to itself.

#include "FuzzLink.h"

#include <QFile>

namespace {

const QString SetComPath = QStringLiteral("/BIN/SetCom.ini");

QByteArray ReadBack() {
    QFile file(fuzz::Root() + SetComPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput(SetComPath, data, size);
    fuzz::LinkRig rig;
    comm::ClsComm& link = rig.link;
    // A file without the settings' markers is taken as absent: the defaults, written
    // once the ECU answers. A whole file is the settings themselves.
    const bool whole = link.ReadSetCom(SetComPath);
    FUZZ_CHECK(!whole || !link.MemoDatiCom());
    FUZZ_CHECK(link.AttesaGlobale_usec() == link.AttesaGlobaleConf());
    (void)link.ComPortNome();

    // Written once, the file is in the program's own form: reading and writing it again
    // changes no byte.
    FUZZ_CHECK(link.WriteSetCom(SetComPath));
    const QByteArray written = ReadBack();
    fuzz::LinkRig again;
    again.link.ReadSetCom(SetComPath);
    FUZZ_CHECK(again.link.WriteSetCom(SetComPath));
    FUZZ_CHECK(ReadBack() == written);
    return 0;
}
