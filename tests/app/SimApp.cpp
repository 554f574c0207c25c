#include "SimApp.h"

#include "AppFixture.h"
#include "app/Controls.h"
#include "app/StartUp.h"
#include "common/BuildTools.h"
#include "common/FillUnwired.h"
#include "link/LinkStateMachine.h"
#include "support/Clock.h"

namespace app_tests {

namespace {

constexpr double Timer1Usec = 1000;
constexpr double Timer2Usec = 14000;

} // namespace

QByteArray SetComFile(int comPort, bool search, bool logPoint) {
    return "[Comport]\r\n" + QByteArray::number(comPort) + "\r\n" +
           "[AttesaGlobale_usec]\r\n200000\r\n[Idle_usec]\r\n20000\r\n[NumResend]\r\n1\r\n" +
           "[UsbCom]\r\n 0 \r\n[SearchCom]\r\n" + (search ? " 0 " : " 255 ") + "\r\n" +
           "[LogPoint]\r\n" + (logPoint ? "1" : "0") + "\r\n";
}

SimAppFixture::SimAppFixture() {
    tree.Write("LNG/M3.diz", ShippedFile("LNG/M3.diz"));
    tree.Write("LNG/M3.con", "0\r\n");
    for (const char* file : {"BIN/Flash.ini", "BIN/TarvencoInj468.frh"}) {
        tree.Write(file, testing_support::ReadFixture(testing_support::StagedRootPath(file)));
    }
    tree.Write("BIN/ComPorts.ini",
               QString("[COM%1]\r\n%2\r\n").arg(SimCom).arg(SimDevice).toLatin1());
    tree.Write("BIN/SetCom.ini", SetComFile(SimCom, false));

    services.Timer1Tick = [this] {
        comm::ProcessComState(context->Comm());
        window->AggiornaStatoCom();
    };
    services.Timer2Tick = [this] { window->ElaboraMsgCom(); };
    testing_support::FillUnwiredWithNothing(services);
    // The window's timers, on simulated time, while they are enabled.
    time.onPump = [this] {
        if (!window) {
            return;
        }
        const double now = time.NowUsec();
        if (window->Timer1().isActive() && now >= nextTimer1_) {
            nextTimer1_ = now + Timer1Usec;
            window->Timer1_Timer();
        }
        if (window && window->Timer2().isActive() && now >= nextTimer2_) {
            nextTimer2_ = now + Timer2Usec;
            window->Timer2_Timer();
        }
    };
}

SimAppFixture::~SimAppFixture() {
    time.onPump = nullptr;
    window.reset();
}

void SimAppFixture::Start() {
    auto ftdiDriver = std::make_unique<platform::FakeFtdiDriver>();
    ftdi = ftdiDriver.get();
    context = std::make_unique<app::ProgramContext>(
        std::make_unique<testing_support::SimPort>(ecu, SimDevice), std::move(ftdiDriver));
    app::PrepareProgram(*context, tree.Path("BIN"));
    window = std::make_unique<app::FrmLX735>(*context, services);
    window->Show();
    window->EnableTimers();
}

void SimAppFixture::Run(double usec) {
    time.RunFor(usec, Timer1Usec);
}

bool SimAppFixture::RunUntil(const std::function<bool()>& condition, double maxUsec) {
    return time.RunUntil(condition, maxUsec, Timer1Usec);
}

QByteArrayList SimAppFixture::LogLines() const {
    return tree.Read("BIN/RxTx.TXT").split('\n');
}

int SimAppFixture::FrameLines() const {
    int frames = 0;
    for (const QByteArray& line : LogLines()) {
        const QByteArrayList fields = line.split(' ');
        if (fields.size() >= 3 && (fields[1] == "T" || fields[1] == "R")) {
            ++frames;
        }
    }
    return frames;
}

QString SimAppFixture::StatusText(int cell) const {
    return app::Caption(window->Control(app::ArrayName("TxtStatusBar", cell)));
}

} // namespace app_tests
