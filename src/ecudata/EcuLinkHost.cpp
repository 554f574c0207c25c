#include "ecudata/EcuLinkHost.h"

#include "ecudata/EcuImages.h"
#include "link/ClsComm.h"

namespace ecudata {

void EcuLinkHost::ParseMem1(const QByteArray& frame) {
    if (ecudata::ParseMem1(frame, model_.images, model_.scale) && link_.FlagLogPoint() &&
        OnLogPoint) {
        OnLogPoint(model_.images.Mem1Data);
    }
}

void EcuLinkHost::ParseMem2(const QByteArray& frame) {
    ecudata::ParseMem2(frame, model_.images, model_.scale);
}

void EcuLinkHost::ParseMem3(const QByteArray& frame) {
    ecudata::ParseMem3(frame, model_.images, model_.requests, model_.scale);
}

void EcuLinkHost::ParseSmplBnz(const QByteArray& frame, int part) {
    ecudata::ParseSmplBnz(frame, static_cast<quint8>(part), model_.images, model_.scale);
}

void EcuLinkHost::ParseSmplGas(const QByteArray& frame, int part) {
    ecudata::ParseSmplGas(frame, static_cast<quint8>(part), model_.images, model_.scale);
}

void EcuLinkHost::ClearSmplBnz() {
    ecudata::ClearSmplBnz(model_.images);
}

void EcuLinkHost::ClearSmplGas() {
    ecudata::ClearSmplGas(model_.images);
}

void EcuLinkHost::Mem2WriteDone() {
    Mem2WriteAcknowledged(model_.images);
}

void EcuLinkHost::StoreEmulaBlock(const QByteArray& frame) {
    StoreEmulaReply(frame, model_.images);
}

} // namespace ecudata
