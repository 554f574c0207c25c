#include "ecudata/RequestServer.h"

#include "ecudata/CompTables.h"
#include "ecudata/CorrectionTable.h"
#include "ecudata/EcuImages.h"
#include "ecudata/EcuModel.h"
#include "ecudata/EcuRequests.h"
#include "ecudata/MapSamples.h"
#include "ecudata/ZoneExchange.h"
#include "link/ClsComm.h"
#include "link/Frames.h"

#include <functional>

namespace ecudata {

namespace {

// One line of the serving order: the flag, the read flag a write waits for (none for
// the others) and the procedure that serves it.
struct Served {
    bool EcuRequests::*flag;
    bool EcuRequests::*readFirst;
    std::function<bool()> serve;
};

// A write's end as the block's refusal state records it.
bool Ended(comm::ClsComm& link, EcuImages& images, EditBlock block, bool ok) {
    images.Blocks.WriteEnded(block, ok, link.ExchangeRefused());
    return ok;
}

bool WriteMem3(comm::ClsComm& link, EcuModel& model) {
    EcuImages& img = model.images;
    const Mem3Rec taken = img.Mem3Write;
    const QByteArray payload = BuildMem3(img.Mem3Data, img.Mem3Write, model.scale, model.requests);
    if (Ended(link, img, EditBlock::Mem3, SendRequest(link, comm::CMD_WRT_MEM3, payload))) {
        return true;
    }
    RestoreMem3Edits(img.Mem3Write, taken);
    return false;
}

// The block as shown goes out; its good reply makes it the block as read and the edits
// it carried done.
bool WriteEmula(comm::ClsComm& link, EcuImages& img) {
    const auto carried = img.EmulaEdit;
    const EmulaBlk sent = ShownEmula(img);
    if (!Ended(link, img, EditBlock::Emula,
               SendRequest(link, comm::CMD_WRIT_EMUS, ByteArrayToStr(sent)))) {
        return false;
    }
    img.EmulaBlkData = sent;
    img.EmulaEdit.ClearCarried(carried);
    return true;
}

} // namespace

bool WriteMem2(comm::ClsComm& link, EcuModel& model) {
    EcuImages& img = model.images;
    const Mem2Rec taken = img.Mem2Write;
    const QByteArray payload = BuildMem2(img.Mem2Data, img.Mem2Write);
    if (Ended(link, img, EditBlock::Mem2, SendRequest(link, comm::CMD_WRT_MEM2, payload))) {
        return true;
    }
    // Wanted states go back as they are: sent again, a bit that did land stays.
    RestoreMem2Edits(img.Mem2Write, taken);
    return false;
}

bool SendReadZone(comm::ClsComm& link, quint8 zone, EcuModel& model) {
    switch (zone) {
    case ZoneLive:
        return SendParsedRead(link, comm::CMD_READ_MEM1, model.images);
    case ZoneMem2:
        return SendParsedRead(link, comm::CMD_READ_MEM2, model.images);
    case ZoneMem3:
        return SendParsedRead(link, comm::CMD_READ_MEM3, model.images);
    case ZoneEmula:
        return SendParsedRead(link, comm::CMD_READ_EMUS, model.images);
    case ZoneTestRec:
        return SendRequest(link, comm::CMD_READ_DCOL_FL);
    default:
        return false;
    }
}

bool SendWriteZone(comm::ClsComm& link, quint8 zone, EcuModel& model) {
    switch (zone) {
    case ZoneMem2:
        return WriteMem2(link, model);
    case ZoneMem3:
        return WriteMem3(link, model);
    case ZoneEmula:
        return WriteEmula(link, model.images);
    default:
        return false;
    }
}

bool SendSaveFlash(comm::ClsComm& link) {
    link.AttesaGlobale_usec(link.MolAttesaGlobale() * link.AttesaGlobale_usec());
    const bool ok = SendRequest(link, comm::CMD_SAVE_FLASH, QByteArray(1, '\0'));
    link.AttesaGlobale_usec_Default();
    return ok;
}

bool ToggleEcuMode(comm::ClsComm& link, const EcuImages& images) {
    switch (images.Mem2Data.EcuRunState) {
    case 0:
        return SendRequest(link, comm::CMD_SET_ECU_SLAVE, QByteArray(1, '\0'));
    case 1:
        return SendRequest(link, comm::CMD_SET_ECU_RUN, QByteArray(1, '\0'));
    default:
        return false;
    }
}

void ServeEcuRequest(comm::ClsComm& link, EcuModel& model) {
    EcuRequests& req = model.requests;
    if (link.ComState() != comm::COM_READY || !req.FirmwareOk) {
        return;
    }
    using R = EcuRequests;
    const Served order[] = {
        {&R::ReqWriteMem3, &R::ReqReadMem3, [&] { return SendWriteZone(link, ZoneMem3, model); }},
        {&R::ReqWriteEmus, &R::ReqReadEmus, [&] { return SendWriteZone(link, ZoneEmula, model); }},
        {&R::ReqWriteMem2, &R::ReqReadMem2, [&] { return SendWriteZone(link, ZoneMem2, model); }},
        {&R::ReqSaveFlash, nullptr, [&] { return SendSaveFlash(link); }},
        {&R::ReqEcuMode, nullptr, [&] { return ToggleEcuMode(link, model.images); }},
        {&R::ReqReadTblCor, nullptr, [&] { return ReadTblCor(link, model); }},
        {&R::ReqReadEmus, nullptr, [&] { return SendReadZone(link, ZoneEmula, model); }},
        {&R::ReqReadMem3, nullptr, [&] { return SendReadZone(link, ZoneMem3, model); }},
        {&R::ReqReadDcol, nullptr, [&] { return SendReadZone(link, ZoneTestRec, model); }},
        {&R::ReqReadMem2, nullptr, [&] { return SendReadZone(link, ZoneMem2, model); }},
        {&R::ReqReadMem1, nullptr, [&] { return SendReadZone(link, ZoneLive, model); }},
        {&R::ReqReadSmplBnz, nullptr, [&] { return ReadSmplBnz(link, model.images); }},
        {&R::ReqReadSmplGas, nullptr, [&] { return ReadSmplGas(link, model.images); }},
        {&R::ReqCancSmplBnz, nullptr, [&] { return CancSmplBnz(link); }},
        {&R::ReqCancSmplGas, nullptr, [&] { return CancSmplGas(link); }},
        {&R::ReqReadComp, nullptr, [&] { return ReadCompTbls(link, model.images); }},
    };
    for (const Served& s : order) {
        if (!(req.*s.flag) || (s.readFirst && req.*s.readFirst)) {
            continue;
        }
        req.*s.flag = !s.serve();
        if (s.readFirst) {
            req.*s.readFirst = true; // the read-back, whatever the write gave
        }
        return;
    }
}

} // namespace ecudata
