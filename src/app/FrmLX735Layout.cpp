// The main window's geometry and tab switching: the resize layout (minimum size, tab
// control, status bar, live-values frame), the one-time placement at load, and the
// adaptation of the window to the page shown.

#include "app/Controls.h"
#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "app/TabStrip.h"
#include "ecudata/CorrectionTable.h"
#include "support/Cursor.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <cmath>

namespace app {

namespace {

constexpr int MinWidth = 10920;
constexpr int MinHeight = 8580;

QWidget& Widget(FrmLX735& window, const QString& name) {
    auto* widget = qobject_cast<QWidget*>(window.Control(name));
    Q_ASSERT(widget);
    return *widget;
}

void SetFocusTo(FrmLX735& window, const QString& name) {
    // A control that cannot take the focus (a hidden one) is passed over.
    if (auto* widget = qobject_cast<QWidget*>(window.Control(name))) {
        widget->setFocus();
    }
}

} // namespace

bool FrmLX735::eventFilter(QObject* watched, QEvent* event) {
    if (TakeHotKey(watched, event)) {
        return true;
    }
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        Form_Resize();
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmLX735::Form_Resize() {
    if (isMinimized()) {
        return;
    }
    const QSize frameExtra = frameGeometry().size() - size();
    setMinimumSize(QSize(ToPixels(MinWidth), ToPixels(MinHeight)) - frameExtra);

    const int width = ToTwips(frameGeometry().width());
    QWidget& client = *centralWidget();
    const int scaleWidth = WidthTwips(client);
    const int scaleHeight = HeightTwips(client);
    QWidget& frmParametri = Widget(*this, "FrmParametri");
    QWidget& cmdParametri = Widget(*this, "CmdParametri");
    const int tab = sstMain_->currentIndex();

    MoveTwips(*sstMain_, 0, 120, scaleWidth - 240, scaleHeight - 600);
    TabStripHeight = HeightTwips(*sstMain_);
    if (tab >= 2 && tab <= 5) {
        SetHeightTwips(*sstMain_, TabStripHeight - HeightTwips(frmParametri) - 30);
    }
    SetLeftTwips(*sstMain_, (width - WidthTwips(*sstMain_)) / 2 - 60);
    LayoutStatusBar();
    if (tab == 3) {
        services_.LayoutModPage();
    } else if (tab == 5) {
        services_.LayoutMapPage();
    }

    QWidget& barBack = Widget(*this, "CmdBarBack");
    SetLeftTwips(cmdParametri, LeftTwips(*sstMain_) + 15);
    SetTopTwips(cmdParametri, TopTwips(barBack) - HeightTwips(cmdParametri) - 60);
    SetWidthTwips(frmParametri, WidthTwips(*sstMain_) - 90);
    SetWidthTwips(cmdParametri, WidthTwips(*sstMain_));
    SetTopTwips(frmParametri, TopTwips(cmdParametri) + 15);
    SetLeftTwips(frmParametri, LeftTwips(cmdParametri) + WidthTwips(cmdParametri) / 2 -
                                   WidthTwips(frmParametri) / 2);

    QWidget& calMsg = Widget(*this, "LblCalMsg");
    QWidget& outer = Widget(*this, "ShpCalStep(0)");
    QWidget& inner = Widget(*this, "ShpCalStep(1)");
    SetWidthTwips(outer, WidthTwips(calMsg));
    SetLeftTwips(outer, LeftTwips(calMsg));
    MoveTwips(inner, LeftTwips(outer) + 15, TopTwips(outer) + 15, WidthTwips(outer) - 30,
              HeightTwips(outer) - 30);
    CalBarFullWidth = WidthTwips(inner);
    if (auto* label = qobject_cast<QLabel*>(&calMsg)) {
        label->setFrameShape(QFrame::NoFrame);
    }

    services_.LayoutParametriFrame();
    if (tab == 0) {
        services_.LayoutGeneralPage();
    }
    if (tab == 2) {
        services_.LayoutCalPage();
    }
    if (tab == 1) {
        services_.LayoutConfigPage();
    }
    if (tab == 4) {
        services_.LayoutEmulaPage();
    }
}

void FrmLX735::LayoutStatusBar() {
    const int width = ToTwips(frameGeometry().width());
    const int scaleWidth = WidthTwips(*centralWidget());
    const int scaleHeight = HeightTwips(*centralWidget());
    int u = int(std::nearbyint((width - 210) / 7.0));
    u = u / 15 * 15;

    QWidget& barBack = Widget(*this, "CmdBarBack");
    QWidget& field0 = Widget(*this, "TxtStatusBar(0)");
    QWidget& field1 = Widget(*this, "TxtStatusBar(1)");
    QWidget& field2 = Widget(*this, "TxtStatusBar(2)");
    const int barHeight = 375;
    const int fieldHeight = barHeight - 120;
    MoveTwips(barBack, -15, scaleHeight - barHeight + 30, scaleWidth + 75, barHeight);
    const int top = scaleHeight - fieldHeight - 30;
    MoveTwips(field0, 30, top, 5 * u, fieldHeight);
    const int right0 = LeftTwips(field0) + WidthTwips(field0);
    MoveTwips(field1, right0 + 30, top, u, fieldHeight);
    const int right1 = LeftTwips(field1) + WidthTwips(field1);
    MoveTwips(field2, right1 + 30, top, scaleWidth - right1 - 60, fieldHeight);
    barBack.setVisible(true);
}

void FrmLX735::DisponiFrmMain() {
    QWidget& frmParametri = Widget(*this, "FrmParametri");
    QWidget& cmdParametri = Widget(*this, "CmdParametri");
    SetTopTwips(frmParametri,
                TopTwips(*sstMain_) + HeightTwips(*sstMain_) - HeightTwips(frmParametri) - 90);
    SetTopTwips(cmdParametri, TopTwips(frmParametri) - 15);
    SetHeightTwips(cmdParametri, HeightTwips(frmParametri) + 75);

    for (const auto& [shape, image] :
         {std::pair{"ShpLevel", "ImgLogo"}, std::pair{"ShpLevelS", "ImgLogoS"}}) {
        QWidget& frame = Widget(*this, shape);
        QWidget& logo = Widget(*this, image);
        MoveTwips(frame, LeftTwips(logo) - 60, TopTwips(logo) - 60, WidthTwips(logo) + 105,
                  HeightTwips(logo) + 105);
        frame.setStyleSheet("background-color: black;");
    }
    if (Caption(Control("LblCalMsg")).isEmpty()) {
        SetCaption(Control("LblCalMsg"), ctx_.Texts.MsgTara[1]);
    }
}

void FrmLX735::CheckTab() {
    if (CheckTabBusy) {
        return;
    }
    CheckTabBusy = true;
    support::CursorOverride hourglass(Qt::WaitCursor);
    QWidget& frmParametri = Widget(*this, "FrmParametri");
    QWidget& cmdParametri = Widget(*this, "CmdParametri");
    const auto shorten = [&] {
        SetHeightTwips(*sstMain_, TabStripHeight - HeightTwips(frmParametri) - 30);
    };
    const auto showFrame = [&](bool visible) {
        frmParametri.setVisible(visible);
        cmdParametri.setVisible(visible);
    };

    switch (sstMain_->currentIndex()) {
    case 0:
        SetFocusTo(*this, "TxtInjTimePet(0)");
        SetHeightTwips(*sstMain_, TabStripHeight);
        showFrame(false);
        services_.LayoutGeneralPage();
        Widget(*this, "FrmPrincipe").setVisible(true);
        break;
    case 1:
        services_.RefreshParamPages();
        services_.LayoutConfigPage();
        SetFocusTo(*this, "CmdTpyGLS");
        break;
    case 2:
        SetFocusTo(*this, "CmdCalStart");
        shorten();
        services_.LayoutCalPage();
        showFrame(true);
        break;
    case 3:
        SetFocusTo(*this, "TxtXPos(0)");
        shorten();
        Widget(*this, "FrmPrincipe").setVisible(false);
        showFrame(true);
        services_.LayoutModPage();
        if (ctx_.TaraState == 0) {
            // The correction table is read afresh only while the link runs.
            if (ctx_.Comm().ComState() != COM_STOP) {
                ecudata::EcuModel model = ctx_.Model();
                ecudata::ReadTblCor(ctx_.Comm(), model);
            }
            services_.DrawRefLineMod();
            bool redraw = true;
            services_.PlottaMatricePuntiMod(redraw);
            services_.AggiornaStatoPuntoMod();
            services_.DeselezionaPuntiMod();
        }
        break;
    case 4:
        shorten();
        showFrame(true);
        services_.LayoutEmulaPage();
        services_.AggiornaVariabiliEmulazioneLambda();
        services_.AggiornaVariabiliTabellaEmulazioneLambda();
        break;
    case 5:
        SetFocusTo(*this, "CmdMapRead");
        shorten();
        showFrame(true);
        services_.LayoutMapPage();
        services_.PlotCorTableMod();
        break;
    default:
        break;
    }
    CheckTabBusy = false;
}

void FrmLX735::MnuViewTab_Click(int index) {
    QCoreApplication::processEvents();
    settingTab_ = true;
    sstMain_->setCurrentIndex(index);
    settingTab_ = false;
    CheckTab();
}

void FrmLX735::SstMain_Click() {
    sstMain_->setEnabled(false);
    CheckTab();
    sstMain_->setEnabled(true);
}

} // namespace app
