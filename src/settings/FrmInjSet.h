#pragma once

// The injector dialog: one row per injector (name, live gas time, gas-time offset with
// its bar and reset button, mode combo) and the bad-bit sensibility below. Offsets and
// sensibility go into the to-write copy of zone 3; a mode change asks the injector
// set-up step for it. Modeless, owned by the main window, destroyed when closed; the
// rows are built once when it opens.

#include <QTimer>
#include <QWidget>
#include <bitset>

class QComboBox;
class QLineEdit;
class QScrollBar;
class QSlider;

namespace app {
struct ProgramContext;
}

namespace settings {

class FrmInjSet : public QWidget {
public:
    static constexpr int MaxRows = 8; // one row per injector

    FrmInjSet(app::ProgramContext& context, QWidget& owner);

    void Form_Load();
    void LoadInjCaptions();
    void BuildInjControls(int count);
    void FillInjSelect();
    void CmbSelect_Click(int index);
    void HScrTime_Change(int index);
    void CmdDefaultTime_Click(int index);
    void SldBadBit_Change();
    void Timer1_Timer();

    int Rows() const { return rows_; }
    QScrollBar& HScrTime(int row) const;
    QComboBox& CmbSelect(int row) const;
    QLineEdit& TxtInjGas(int row) const;
    QLineEdit& TxtInjFuelGas(int row) const;
    QSlider& SldBadBit() const;

    QString ModeItem0Text = QStringLiteral("Normal");
    QString ModeItem1Text = QStringLiteral("Petrol on gas");
    QString ModeItem2Text = QStringLiteral("Off");

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The combo back on the injector's mode as read (once the combo has taken the item).
    void PutModeBack(int index);
    // The row's offset from its bar into the pending write.
    void StoreOffset(int index);

    app::ProgramContext& ctx_;
    QTimer timer1_;
    bool injSelectBusy_ = false;
    int rows_ = 0;
    // Rows whose offset handler is under way, and those of them moved again meanwhile.
    std::bitset<MaxRows> offsetBusy_;
    std::bitset<MaxRows> offsetMovedAgain_;
};

} // namespace settings
