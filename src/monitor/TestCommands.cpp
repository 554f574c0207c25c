#include "monitor/TestCommands.h"

#include "app/ProgramContext.h"

namespace monitor {

QString Mem3BackDoor(app::ProgramContext& ctx, const QStringList& words) {
    bool ok = false;
    const int value = words.size() == 3 ? words[2].toInt(&ok) : -1;
    if (!ok || words[1] != "EmptyGas" || (value != 0 && value != 1)) {
        return QStringLiteral("mem3 EmptyGas 0|1");
    }
    ctx.Images.Mem3Write.EmptyGas = static_cast<qint16>(value);
    ctx.Requests.Mem3WriteCountdown = 1.0;
    return {};
}

} // namespace monitor
