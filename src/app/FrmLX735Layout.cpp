// The main window's geometry and tab switching: the resize layout (minimum size, tab
// control, status bar, live-values frame), the one-time placement at load, and the
// adaptation of the window to the page shown.

#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "ecudata/CorrectionTable.h"
#include "support/Cursor.h"
#include "ui/ControlBuilder.h"
#include "ui/TabStrip.h"
#include "ui/TextCell.h"

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
    setMinimumSize(QSize(ui::ToPixels(MinWidth), ui::ToPixels(MinHeight)) - frameExtra);

    const int width = ui::ToTwips(frameGeometry().width());
    QWidget& client = *centralWidget();
    const int scaleWidth = ui::WidthTwips(client);
    const int scaleHeight = ui::HeightTwips(client);
    QWidget& frmParametri = *frmParametri_;
    QWidget& cmdParametri = *cmdParametri_;
    const int tab = sstMain_->currentIndex();

    ui::MoveTwips(*sstMain_, 0, 120, scaleWidth - 240, scaleHeight - 600);
    TabStripHeight = ui::HeightTwips(*sstMain_);
    if (tab >= 2 && tab <= 5) {
        ui::SetHeightTwips(*sstMain_, TabStripHeight - ui::HeightTwips(frmParametri) - 30);
    }
    ui::SetLeftTwips(*sstMain_, (width - ui::WidthTwips(*sstMain_)) / 2 - 60);
    LayoutStatusBar();
    if (tab == 3) {
        services_.LayoutModPage();
    } else if (tab == 5) {
        services_.LayoutMapPage();
    }

    QWidget& barBack = *cmdBarBack_;
    ui::SetLeftTwips(cmdParametri, ui::LeftTwips(*sstMain_) + 15);
    ui::SetTopTwips(cmdParametri, ui::TopTwips(barBack) - ui::HeightTwips(cmdParametri) - 60);
    ui::SetWidthTwips(frmParametri, ui::WidthTwips(*sstMain_) - 90);
    ui::SetWidthTwips(cmdParametri, ui::WidthTwips(*sstMain_));
    ui::SetTopTwips(frmParametri, ui::TopTwips(cmdParametri) + 15);
    ui::SetLeftTwips(frmParametri, ui::LeftTwips(cmdParametri) + ui::WidthTwips(cmdParametri) / 2 -
                                       ui::WidthTwips(frmParametri) / 2);

    QLabel& calMsg = *lblCalMsg_;
    QWidget& outer = *shpCalStep_[0];
    QWidget& inner = *shpCalStep_[1];
    ui::SetWidthTwips(outer, ui::WidthTwips(calMsg));
    ui::SetLeftTwips(outer, ui::LeftTwips(calMsg));
    ui::MoveTwips(inner, ui::LeftTwips(outer) + 15, ui::TopTwips(outer) + 15,
                  ui::WidthTwips(outer) - 30, ui::HeightTwips(outer) - 30);
    CalBarFullWidth = ui::WidthTwips(inner);
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
    const int width = ui::ToTwips(frameGeometry().width());
    const int scaleWidth = ui::WidthTwips(*centralWidget());
    const int scaleHeight = ui::HeightTwips(*centralWidget());
    int u = int(std::nearbyint((width - 210) / 7.0));
    u = u / 15 * 15;

    QWidget& barBack = *cmdBarBack_;
    QWidget& field0 = StatusCell(0);
    QWidget& field1 = StatusCell(1);
    QWidget& field2 = StatusCell(2);
    const int barHeight = 375;
    const int fieldHeight = barHeight - 120;
    ui::MoveTwips(barBack, -15, scaleHeight - barHeight + 30, scaleWidth + 75, barHeight);
    const int top = scaleHeight - fieldHeight - 30;
    ui::MoveTwips(field0, 30, top, 5 * u, fieldHeight);
    const int right0 = ui::LeftTwips(field0) + ui::WidthTwips(field0);
    ui::MoveTwips(field1, right0 + 30, top, u, fieldHeight);
    const int right1 = ui::LeftTwips(field1) + ui::WidthTwips(field1);
    ui::MoveTwips(field2, right1 + 30, top, scaleWidth - right1 - 60, fieldHeight);
    barBack.setVisible(true);
}

void FrmLX735::DisponiFrmMain() {
    QWidget& frmParametri = *frmParametri_;
    QWidget& cmdParametri = *cmdParametri_;
    ui::SetTopTwips(frmParametri, ui::TopTwips(*sstMain_) + ui::HeightTwips(*sstMain_) -
                                      ui::HeightTwips(frmParametri) - 90);
    ui::SetTopTwips(cmdParametri, ui::TopTwips(frmParametri) - 15);
    ui::SetHeightTwips(cmdParametri, ui::HeightTwips(frmParametri) + 75);

    for (const auto& [shape, image] :
         {std::pair{"ShpLevel", "ImgLogo"}, std::pair{"ShpLevelS", "ImgLogoS"}}) {
        auto& frame = ui::Bind<QWidget>(*this, shape);
        auto& logo = ui::Bind<QWidget>(*this, image);
        ui::MoveTwips(frame, ui::LeftTwips(logo) - 60, ui::TopTwips(logo) - 60,
                      ui::WidthTwips(logo) + 105, ui::HeightTwips(logo) + 105);
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
        ui::SetHeightTwips(*sstMain_, TabStripHeight - ui::HeightTwips(frmParametri) - 30);
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
        ui::SetHeightTwips(*sstMain_, TabStripHeight);
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
