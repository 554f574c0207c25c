#pragma once

// The injector dialog: one row per injector (name, live gas time, gas-time offset with
// its bar and reset button, mode combo) and the bad-bit sensibility below, showing zone 3
// as read with its pending edits and refilled when a zone read lands. A key steps from
// the value shown; offsets and sensibility go into the to-write copy of zone 3 as the
// values reached; a mode change asks the injector set-up step for it. Modeless, owned by the main
// window, destroyed when closed; the rows are built once when it opens.

#include "ecudata/ParamRecords.h"
#include "settings/DialogRows.h"

#include <QTimer>
#include <QWidget>
#include <bitset>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QSlider;

namespace app {
struct ProgramContext;
}

namespace settings {

class FrmInjSet : public QWidget {
public:
    FrmInjSet(app::ProgramContext& context, QWidget& owner);

    void Form_Load();
    void LoadInjCaptions();
    void FillInjSelect();
    void CmbSelect_Click(int index);
    void HScrTime_Change(int index);
    void CmdDefaultTime_Click(int index);
    void SldBadBit_Change();
    void Timer1_Timer();

    int Rows() const { return int(rows_.size()); }
    QScrollBar& HScrTime(int row) const { return *rows_[size_t(row)].hscrTime; }
    QComboBox& CmbSelect(int row) const { return *rows_[size_t(row)].cmbSelect; }
    QLineEdit& TxtInjGas(int row) const { return *rows_[size_t(row)].txtInjGas; }
    QLineEdit& TxtInjFuelGas(int row) const { return *rows_[size_t(row)].txtInjFuelGas; }
    QSlider& SldBadBit() const { return *sldBadBit_; }

    QString ModeItem0Text = QStringLiteral("Normal");
    QString ModeItem1Text = QStringLiteral("Petrol on gas");
    QString ModeItem2Text = QStringLiteral("Off");

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One injector's controls.
    struct Row {
        QLineEdit* txtInjFuelGas;
        QLineEdit* txtInjGas;
        QScrollBar* hscrTime;
        QComboBox* cmbSelect;
    };

    // Makes the dialog's controls with one row per injector (1 to 8) and binds them; once,
    // when the dialog is made.
    void BuildInjControls(int count);
    ecudata::Mem3Rec Shown() const;
    bool Read() const;
    // A bar or the slider held or its edit under way: a refill would move it under the hand.
    bool Held() const;
    // The combo back on the injector's mode as shown (once the combo has taken the item).
    void PutModeBack(int index);
    // The row's offset from its bar into the pending write.
    void StoreOffset(int index);

    app::ProgramContext& ctx_;
    QTimer timer1_;
    bool injSelectBusy_ = false;
    // Rows whose offset handler is under way, and those of them moved again meanwhile.
    std::bitset<InjMaxRows> offsetBusy_;
    std::bitset<InjMaxRows> offsetMovedAgain_;
    quint32 shownReads_ = 0; // ZoneReads when the dialog was last filled

    // The dialog's controls, bound once when they are built.
    std::vector<Row> rows_;
    std::vector<QPushButton*> defaultTime_; // CmdDefaultTime, by row
    QSlider* sldBadBit_ = nullptr;
    QLabel* lblBadBit1_ = nullptr;
    std::vector<QLabel*> headings_; // LblInjNum, LblTime, LblEnricht, LblInjSet
};

} // namespace settings
