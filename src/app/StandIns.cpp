#include "app/StandIns.h"

namespace app::standin {

void ResetMemToWrite(EcuImages& images) {
    images.Mem2Write = Mem2Rec{255, 255, 255, 0, 0, 0, -1.0};
    Mem3Rec& w = images.Mem3Write;
    w = Mem3Rec{};
    w.Bobine = w.Cilindri = -1;
    w.SwitchTemp = w.SwitchRpm = w.InjTime = w.InjPwm1 = w.InjPwm2 = -1.0;
    w.InjType = w.FuelType = w.LevelType = w.Param121 = 255;
    w.CylState.fill(255);
    w.CylTime.fill(99999999.0);
    w.LevelThr.fill(-1);
    w.SwitchDrect = w.LambdaSwitch = w.ExpertFlags = w.EmptyGas = -1;
    w.SwitchSeq = w.Isteresi = w.Param152 = w.Param156 = -1;
    w.MaxPowerSoh = w.RpmLow = w.RpmHigh = -1;
    w.SwitchDelay = w.SwitchForce = w.EndGasPress = w.DelayPress = -1.0;
    w.TypSensTemp = w.TypSensMap = w.BadBit = 255;
}

} // namespace app::standin
