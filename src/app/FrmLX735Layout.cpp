// The main window's geometry and tab switching: the resize layout (minimum size, tab
// control, status bar, live-values frame), the one-time placement at load, and the
// adaptation of the window to the page shown.

#include "app/ControlBuilder.h"
#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "app/TabStrip.h"
#include "app/TextCell.h"
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
    QWidget& frmParametri = *frmParametri_;
    QWidget& cmdParametri = *cmdParametri_;
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

    QWidget& barBack = *cmdBarBack_;
    SetLeftTwips(cmdParametri, LeftTwips(*sstMain_) + 15);
    SetTopTwips(cmdParametri, TopTwips(barBack) - HeightTwips(cmdParametri) - 60);
    SetWidthTwips(frmParametri, WidthTwips(*sstMain_) - 90);
    SetWidthTwips(cmdParametri, WidthTwips(*sstMain_));
    SetTopTwips(frmParametri, TopTwips(cmdParametri) + 15);
    SetLeftTwips(frmParametri, LeftTwips(cmdParametri) + WidthTwips(cmdParametri) / 2 -
                                   WidthTwips(frmParametri) / 2);

    QLabel& calMsg = *lblCalMsg_;
    QWidget& outer = *shpCalStep_[0];
    QWidget& inner = *shpCalStep_[1];
    SetWidthTwips(outer, WidthTwips(calMsg));
    SetLeftTwips(outer, LeftTwips(calMsg));
    MoveTwips(inner, LeftTwips(outer) + 15, TopTwips(outer) + 15, WidthTwips(outer) - 30,
              HeightTwips(outer) - 30);
    CalBarFullWidth = WidthTwips(inner);
    calMsg.setFrameShape(QFrame::NoFrame);

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

    QWidget& barBack = *cmdBarBack_;
    QWidget& field0 = StatusCell(0);
    QWidget& field1 = StatusCell(1);
    QWidget& field2 = StatusCell(2);
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
    QWidget& frmParametri = *frmParametri_;
    QWidget& cmdParametri = *cmdParametri_;
    SetTopTwips(frmParametri,
                TopTwips(*sstMain_) + HeightTwips(*sstMain_) - HeightTwips(frmParametri) - 90);
    SetTopTwips(cmdParametri, TopTwips(frmParametri) - 15);
    SetHeightTwips(cmdParametri, HeightTwips(frmParametri) + 75);

    for (const auto& [shape, image] :
         {std::pair{"ShpLevel", "ImgLogo"}, std::pair{"ShpLevelS", "ImgLogoS"}}) {
        auto& frame = Bind<QWidget>(*this, shape);
        auto& logo = Bind<QWidget>(*this, image);
        MoveTwips(frame, LeftTwips(logo) - 60, TopTwips(logo) - 60, WidthTwips(logo) + 105,
                  HeightTwips(logo) + 105);
        frame.setStyleSheet("background-color: black;");
    }
    if (lblCalMsg_->text().isEmpty()) {
        lblCalMsg_->setText(ctx_.Texts.MsgTara[1]);
    }
}

void FrmLX735::CheckTab() {
    if (CheckTabBusy) {
        return;
    }
    CheckTabBusy = true;
    support::CursorOverride hourglass(Qt::WaitCursor);
    QWidget& frmParametri = *frmParametri_;
    QWidget& cmdParametri = *cmdParametri_;
    const auto shorten = [&] {
        SetHeightTwips(*sstMain_, TabStripHeight - HeightTwips(frmParametri) - 30);
    };
    const auto showFrame = [&](bool visible) {
        frmParametri.setVisible(visible);
        cmdParametri.setVisible(visible);
    };

    const auto focus = [](QWidget* control) {
        if (control) {
            control->setFocus();
        }
    };

    switch (sstMain_->currentIndex()) {
    case 0:
        focus(tabFocus_[0]);
        SetHeightTwips(*sstMain_, TabStripHeight);
        showFrame(false);
        services_.LayoutGeneralPage();
        frmPrincipe_->setVisible(true);
        break;
    case 1:
        services_.RefreshParamPages();
        services_.LayoutConfigPage();
        focus(tabFocus_[1]);
        break;
    case 2:
        focus(tabFocus_[2]);
        shorten();
        services_.LayoutCalPage();
        showFrame(true);
        break;
    case 3:
        focus(tabFocus_[3]);
        shorten();
        frmPrincipe_->setVisible(false);
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
        focus(tabFocus_[5]);
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
