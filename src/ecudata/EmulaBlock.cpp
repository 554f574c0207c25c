#include "ecudata/EmulaBlock.h"

#include "ecudata/EcuImages.h"
#include "ecudata/ZoneCodec.h"

#include <algorithm>

namespace ecudata {

bool StoreEmulaReply(const QByteArray& reply, EcuImages& images) {
    const QByteArray data = ReplyData(reply);
    if (data.size() != EmulaBlkSize) {
        return false;
    }
    images.EmulaLine = reply;
    std::copy(data.begin(), data.end(), images.EmulaBlkData.begin());
    images.Blocks.SetRead(EditBlock::Emula);
    ++images.AcceptedReplies[ReplyCmd(reply)];
    return true;
}

EmulaBlk ShownEmula(const EcuImages& images) {
    return images.EmulaEdit.Merge(images.EmulaBlkData);
}

QByteArray ByteArrayToStr(const EmulaBlk& block) {
    return QByteArray(reinterpret_cast<const char*>(block.data()),
                      static_cast<qsizetype>(block.size()));
}

QByteArray EmulaReplyLine(const EmulaBlk& block) {
    return QByteArray::fromHex("42015C4100") + ByteArrayToStr(block) + QByteArray(1, '\0');
}

} // namespace ecudata
