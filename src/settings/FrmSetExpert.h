#pragma once

// The expert settings dialog: rpm source and doubling, adaptivity, diagnosis, return to
// petrol, the minimum-rpm and minimum-power functions, maximum power with its injection-
// time threshold, the deceleration hysteresis and the sensor types. Modeless, owned by
// the main window; every activation, and every zone read that lands while it is open,
// refills it from the records as shown (as read with the pending edits). Each control
// stores its edit in the to-write copies and arms the zone's write; a control whose zone
// is not read yet shows no value and is disabled.

#include "ecudata/ParamRecords.h"

#include <QTimer>
#include <QWidget>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QKeyEvent;
class QLineEdit;

namespace app {
class FrmLX735;
struct ProgramContext;
} // namespace app

namespace settings {

class FrmSetExpert : public QWidget {
public:
    FrmSetExpert(app::ProgramContext& context, app::FrmLX735& window);

    // Shows the dialog, loading it afresh when it was closed, and brings it to the front.
    void ShowModeless();

    void Form_Load();
    void Form_Activate();
    void LoadExpertCaptions();

    void ChkAbilAdat_Click();
    void ChkAbilDiag_Click();
    void ChkReturnBenz_Click();
    void CHK_FiloRPM_Click();
    void CHK_RPMx1x2_Click();
    void ChkMinRpmAbil_Click();
    void CmbIsteresi_Click();
    void CmbMaxPowerSoh_Click();
    void CmbTInjMaxPower_Click();
    void CmbRpmLow_Click();
    void CmbRpmHight_Click();
    void CmbTypSensTemp_Click();
    void CmbTypSensMap_Click();
    // Refills the open dialog when a zone read has landed since it was filled.
    void Timer1_Timer();
    // The Enter handling of the password box.
    void ApplyPassword();

    QString MsgExpertOnGas = QStringLiteral("The engine runs on gas.");

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    // A key released in the dialog (watched: where); True when it was taken.
    bool Form_KeyUp(QObject* watched, const QKeyEvent& key);
    // Fills the dialog from the records as shown; False while a fill runs already.
    bool Fill();
    void ShowZone3(const ecudata::Mem3Rec& m3);
    // True when the zones the control writes have been read.
    bool Editable(const QWidget* control) const;
    // A combo's list is open: a refill would change it under the hand.
    bool ListOpen() const;
    void BindControls();
    void WireHandlers();
    // The box asks for the zone-2 bit(s) mask set (wanted) or clear.
    void ToggleZone2(quint8 mask, bool wanted);
    // The zone-2 flags as shown: as read with the wanted states pending.
    quint8 ShownZone2Flags() const;
    void StoreExpertFlags(qint16 flags);
    std::optional<double> Number(QComboBox& combo) const;
    void SelectEqual(QComboBox& combo, double value);

    app::ProgramContext& ctx_;
    bool filling_ = false;
    QTimer timer1_;
    quint32 shownReads_ = 0; // ZoneReads when the dialog was last filled

    // The editors with the zones each writes (zone 2, zone 3).
    struct Editor {
        QWidget* control;
        bool mem2;
        bool mem3;
    };
    std::vector<Editor> editors_;

    // The dialog's controls, bound once when it is built.
    QCheckBox* chkAbilAdat_ = nullptr;
    QCheckBox* chkAbilDiag_ = nullptr;
    QCheckBox* chkReturnBenz_ = nullptr;
    QCheckBox* chkMinRpmAbil_ = nullptr;
    QCheckBox* chkFiloRpm_ = nullptr;
    QCheckBox* chkRpmX1X2_ = nullptr;
    QComboBox* cmbRpmLow_ = nullptr;
    QComboBox* cmbRpmHight_ = nullptr;
    QComboBox* cmbMaxPowerSoh_ = nullptr;
    QComboBox* cmbTInjMaxPower_ = nullptr;
    QComboBox* cmbTypSensTemp_ = nullptr;
    QComboBox* cmbTypSensMap_ = nullptr;
    QComboBox* cmbIsteresi_ = nullptr;
    QLineEdit* txtPw_ = nullptr;
    QLabel* lblPw_ = nullptr;
    // Shown with the second password only.
    std::vector<QWidget*> expertOnly_;
    // The controls the dictionary captions after "[FrmSetExpert]", in order.
    std::vector<QWidget*> captioned_;
    // The Configuration page's change-over rpm.
    QComboBox* cmbSwtchRpm_ = nullptr;
};

} // namespace settings
