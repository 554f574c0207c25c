#pragma once

// Minimal stand-ins for the link object, the ECU images and the configuration loaders,
// used by the main window until the link and data-model libraries provide them. Only
// what the start-up and the main window touch is declared; the names are those the
// real types carry, so that switching to them is a matter of the aliases in
// ProgramContext.h.

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>

namespace app::standin {

enum ComStateCode : int {
    COM_RESTART = 0,
    COM_READY = 1,
    COM_SENDING = 2,
    COM_WAIT_REPLY = 3,
    COM_ERROR = 5,
    COM_SEARCH = 7,
    COM_STOP = 8,
};

class ClsComm {
public:
    int ComState() const { return comState_; }
    void ComState(int state) { comState_ = state; }
    bool UsbCom() const { return usbCom_; }
    void UsbCom(bool value) { usbCom_ = value; }
    int ComPort() const { return comPort_; }
    void ComPort(int value) { comPort_ = value; }
    int FlagRicercaCom() const { return flagRicercaCom_; }
    void FlagRicercaCom(int value) { flagRicercaCom_ = value; }
    bool FlagLogPoint() const { return flagLogPoint_; }
    void FlagLogPoint(bool value) { flagLogPoint_ = value; }
    int NumWDogSend() const { return numWDogSend_; }
    void NumWDogSend(int value) { numWDogSend_ = value; }

    void AppFolder(const QString& folder) { appFolder_ = folder; }
    void ReadSetCom(const QString&) {}
    void CloseComPort() { ++closeCount_; }
    int CloseCount() const { return closeCount_; }

private:
    QString appFolder_;
    int comState_ = COM_SEARCH;
    bool usbCom_ = true;
    int comPort_ = 1;
    int flagRicercaCom_ = 0;
    bool flagLogPoint_ = false;
    int numWDogSend_ = 0;
    int closeCount_ = 0;
};

struct Mem1Rec {
    double Rpm = 0, PressGas = 0, Press2 = 0, Lambda1 = 0;
    int StatusKey = 0, StatusEv1 = 0, StatusEv2 = 0, StatusKeyHigh = 0;
    double Level1 = 0, Level2 = 0, Temp = 0, Temp1 = 0, Supply = 0;
    int LevelLamps = 0;
    double Lambda2 = 0, LambdaOut1 = 0, LambdaOut2 = 0;
};

struct Mem2Rec {
    quint8 ModeReq = 0, FuelState = 0, EcuRunState = 0;
    double HoursGas = 0, HoursBenz = 0;
    quint8 Flags = 0;
    double SwitchRpmPeriod = 0;
};

struct Mem3Rec {
    qint16 Bobine = 0, Cilindri = 0;
    double SwitchTemp = 0, SwitchRpm = 0;
    quint8 InjType = 0, FuelType = 0;
    double InjTime = 0, InjPwm1 = 0, InjPwm2 = 0;
    std::array<quint8, 8> CylState{};
    std::array<double, 8> CylTime{};
    quint8 LevelType = 0, Param121 = 0;
    std::array<qint16, 6> LevelThr{};
    qint16 SwitchDrect = 0;
    qint32 SwitchSeq = 0, Isteresi = 0;
    double SwitchDelay = 0;
    qint32 Param152 = 0, Param156 = 0;
    double SwitchForce = 0;
    qint16 LambdaSwitch = 0;
    double EndGasPress = 0, DelayPress = 0;
    qint16 ExpertFlags = 0, EmptyGas = 0;
    qint32 MaxPowerSoh = 0, RpmLow = 0, RpmHigh = 0;
    quint8 TypSensTemp = 0, TypSensMap = 0, BadBit = 0;
};

struct GasLevelRec {
    QString Name;
    std::array<qint16, 6> Thresholds{};
    QString Description;
    qint16 Id = 0;
    double Scale = 0;
    quint8 Mode = 0;
};

// The ECU images and the request flags the main window sets.
struct EcuImages {
    Mem1Rec Mem1Data;
    Mem2Rec Mem2Data, Mem2Write;
    Mem3Rec Mem3Data, Mem3Write;
    QByteArray EmulaBlkData;
    QList<GasLevelRec> TblGasLevel;
    bool ReqReadMem1 = false, ReqReadMem2 = false, ReqReadMem3 = false, ReqReadEmus = false,
         ReqReadTblCor = false, ReqReadComp = false, ReqReadDcol = false;
    bool SoloUSB = false;
};

// Puts the to-write copies to their no-edit markers.
void ResetMemToWrite(EcuImages& images);

// The configuration loaders and the correction-table read the window calls.
inline void LoadConfigScale(EcuImages&, const QString&) {}
inline void LoadParamTaratura(const QString&) {}
inline void LoadGasLevelTbl(EcuImages&, const QString&) {}
inline void LoadInjTypeTbl(const QString&) {}
inline void LoadLambdaTbl(const QString&, const QString&) {}
inline bool ReadTblCor(ClsComm&) {
    return true;
}

} // namespace app::standin
