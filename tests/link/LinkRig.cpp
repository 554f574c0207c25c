#include "LinkRig.h"
#include "LinkFixture.h"

#include "link/RxTxLog.h"
#include "support/Clock.h"

namespace link_test {

namespace {

constexpr double TickUsec = 1000;

} // namespace

LinkRig::LinkRig(const QByteArray& setCom, int com, const sim::EcuConfig& config)
    : ecu(config), port(ecu, SimDevice), link(tree.Root(), port, ftdi) {
    tree.Write("BIN/ComPorts.ini", QString("[COM%1]\r\n%2\r\n").arg(com).arg(SimDevice).toLatin1());
    if (!setCom.isEmpty()) {
        tree.Write("BIN/SetCom.ini", setCom);
    }
    link.ReadSetCom("/BIN/SetCom.ini");
    link.Host(&host);
    nextTick_ = time.NowUsec();
    time.onPump = [this] {
        if (timerOn_ && time.NowUsec() >= nextTick_) {
            nextTick_ = time.NowUsec() + TickUsec;
            comm::ProcessComState(link);
        }
    };
}

LinkRig::~LinkRig() {
    time.onPump = nullptr;
}

void LinkRig::Run(double usec) {
    time.RunFor(usec, TickUsec);
}

bool LinkRig::RunUntil(const std::function<bool()>& condition, double maxUsec) {
    return time.RunUntil(condition, maxUsec, TickUsec);
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

int LinkRig::Received(quint8 command) const {
    return static_cast<int>(ecu.CommandLog().count(command));
}

QStringList LinkRig::BoxTexts() const {
    QStringList texts;
    for (const auto& box : boxes.boxes) {
        texts << box.prompt;
    }
    return texts;
}

} // namespace link_test
