#pragma once

// The Configuration page's designed controls: the section boxes and combos in the frame
// FrmCongif on tab 1 (its headings, captions and buttons are the main window's), and the
// Lambda page's combos under FrmEmul that the page fills (their behaviour is the Lambda
// page's). The page binds what it uses once, here.

#include "ui/ControlBuilder.h"

#include <QHash>
#include <QString>
#include <array>
#include <span>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace app {
class FrmLX735;
}

namespace settings {

std::span<const ui::ControlDesc> ConfigPageDesign();

struct ConfigControls {
    QWidget& frmCongif;
    QWidget& frmParametri;           // the live values below the tab control
    QWidget& cmdParametri;           // their raised background
    std::array<QLabel*, 5> headings; // the section headings
    QComboBox& cmbSwtchRpm;
    QComboBox& cmbSwtchDrect;
    QComboBox& cmbSwtchTemp;
    QComboBox& cmbSwtchDelay;
    QComboBox& cmbSwtchForce;
    QComboBox& cmbSwtchSeq;
    QComboBox& cmbTpyInj;
    QComboBox& cmbSwtchCilindri;
    QComboBox& cmbSwtchBobine;
    QComboBox& cmbTpyGLS;
    QComboBox& cmbEmptyGas;
    QComboBox& cmbSwtchBar;
    QComboBox& cmbSwtchDelayPress;
    QComboBox& cmbSwtchLambda;
    QComboBox& cmbSwtchLambdaBis;
    std::array<QRadioButton*, 2> optTypFuel;
    QPushButton& cmdExpert;
    QPushButton& cmdTpyGLS;
    QPushButton& cmdTpyInj;
    QPushButton& cmdReserVar;
    QWidget& grdEmul;
    // Every combo of the design, by name: the lists fill them by their names.
    QHash<QString, QComboBox*> combos;
};

// Builds the design on the main window and binds the page's controls.
ConfigControls BuildConfigControls(app::FrmLX735& window);

} // namespace settings
