#include "SimApp.h"

#include "AppFixture.h"
#include "common/FillUnwired.h"
#include "common/LinkLog.h"
#include "link/LinkStateMachine.h"
#include "ui/Controls.h"

namespace app_tests {

QByteArray SetComFile(int comPort, bool search, bool logPoint) {
    return "[Comport]\r\n" + QByteArray::number(comPort) + "\r\n" +
           "[AttesaGlobale_usec]\r\n200000\r\n[Idle_usec]\r\n20000\r\n[NumResend]\r\n1\r\n" +
           "[UsbCom]\r\n 0 \r\n[SearchCom]\r\n" + (search ? " 0 " : " 255 ") + "\r\n" +
           "[LogPoint]\r\n" + (logPoint ? "1" : "0") + "\r\n";
}

SimAppFixture::SimAppFixture() : SimWindow(sim::EcuConfig(), SimCom) {
    tree.Write("LNG/M3.diz", ShippedFile("LNG/M3.diz"));
    tree.Write("LNG/M3.con", "0\r\n");
    Stage({"BIN/Flash.ini", "BIN/TarvencoInj468.frh"});
    tree.Write("BIN/SetCom.ini", SetComFile(SimCom, false));

    services.Timer1Tick = [this] {
        comm::ProcessComState(context->Comm());
        window->AggiornaStatoCom();
    };
    services.Timer2Tick = [this] { window->ElaboraMsgCom(); };
    testing_support::FillUnwiredWithNothing(services);
}

void SimAppFixture::Start() {
    Prepare();
    ftdi = static_cast<platform::FakeFtdiDriver*>(context->Ftdi.get());
    BuildWindow(false);
    window->Show();
    StartTimers();
}

QByteArrayList SimAppFixture::LogLines() const {
    return tree.Read("BIN/RxTx.TXT").split('\n');
}

int SimAppFixture::FrameLines() const {
    int frames = 0;
    for (const staging::LogLine& line : staging::LinkLog(tree.Read("BIN/RxTx.TXT")).Lines()) {
        frames += line.text.startsWith("T ") || line.text.startsWith("R ");
    }
    return frames;
}

QString SimAppFixture::StatusText(int cell) const {
    return ui::Caption(window->Control(ui::ArrayName("TxtStatusBar", cell)));
}

} // namespace app_tests
