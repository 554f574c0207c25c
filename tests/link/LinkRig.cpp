#include "LinkRig.h"
#include "LinkFixture.h"

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
    time.onPump = nullptr; // the link timer steps the link: stopped before it goes
}

QList<QByteArray> LinkRig::LogLines() const {
    return ReadLogLines(tree);
}

QStringList LinkRig::LoggedStates() const {
    QStringList states;
    for (const QByteArray& line : LogLines()) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 3 && fields[1] == "C") {
            states << QString::fromLatin1(fields[2]).remove('"');
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
