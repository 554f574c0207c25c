#include "LinkRig.h"
#include "LinkFixture.h"

#include "common/LinkLog.h"
#include "link/LinkStateMachine.h"

namespace link_test {

LinkRig::LinkRig(const QByteArray& setCom, int com, const sim::EcuConfig& config)
    : SimRig(config, com) {
    if (!setCom.isEmpty()) {
        tree.Write("BIN/SetCom.ini", setCom);
    }
    link.ReadSetCom("/BIN/SetCom.ini");
    link.Host(&host);
    AddTimer(
        1000, [this] { return timerOn_; }, [this] { comm::ProcessComState(link); });
}

LinkRig::~LinkRig() {
    StopTimers();
}

QList<QByteArray> LinkRig::LogLines() const {
    return ReadLogLines(tree);
}

QStringList LinkRig::LoggedStates() const {
    QStringList states;
    for (const staging::LogLine& line : staging::LinkLog(tree.Read("BIN/RxTx.TXT")).Lines()) {
        if (line.text.startsWith("C ")) {
            states << line.text.mid(2);
        }
    }
    return states;
}

QStringList LinkRig::BoxTexts() const {
    QStringList texts;
    for (const auto& box : boxes.boxes) {
        texts << box.prompt;
    }
    return texts;
}

} // namespace link_test
