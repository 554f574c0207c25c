#include "monitor/FrmService.h"

#include "app/CaptionTranslation.h"
#include "app/ProgramContext.h"
#include "monitor/DialogDesigns.h"
#include "support/Conversions.h"
#include "support/Lingue.h"
#include "ui/ControlBuilder.h"
#include "ui/DialogIcon.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace monitor {

namespace {

const QString SectionMarker = QStringLiteral("[FrmService]");
constexpr double ResetCounter = -1.0; // sent as the 4-byte value -1

} // namespace

QString HoursText(double hours) {
    const QString number = support::GeneralNumberText(hours, ".");
    return hours >= 0 ? " " + number : number;
}

FrmService::FrmService(app::ProgramContext& context, QWidget& owner)
    : QWidget(&owner, Qt::Dialog), ctx_(context) {
    setObjectName("FrmService");
    resize(ui::ToPixels(5400), ui::ToPixels(2880));
    BuildFrmService(*this);
    frmTempo_ = &ui::Bind<QGroupBox>(*this, "FrmTempo");
    lblTimeGas_ = &ui::Bind<QLabel>(*this, "LblTimeGas");
    lblTimePetrol_ = &ui::Bind<QLabel>(*this, "LblTimePetrol");
    lblHelp_ = &ui::Bind<QLabel>(*this, "LblHelp");
    lblHelp_->setWordWrap(true);
    cmdErase_ = &ui::Bind<QPushButton>(*this, "CmdErase");
    connect(cmdErase_, &QPushButton::clicked, this, [this] { CmdErase_Click(); });
}

void FrmService::ShowModeless() {
    if (isHidden()) {
        Form_Load();
    }
    show();
    raise();
    activateWindow();
}

void FrmService::LoadServiceTexts() {
    app::TranslateProgramCaptions(*this);
    const QStringList texts = support::SectionTexts(ctx_.ObjLingue, SectionMarker, 4);
    if (texts.size() != 4) {
        return;
    }
    frmTempo_->setTitle(texts[0]);
    lblHelp_->setText(texts[1]);
    GasHoursText = texts[2];
    PetrolHoursText = texts[3];
}

void FrmService::Form_Load() {
    ui::LoadDialogIcon(*this, ctx_.AppFolder);
    LoadServiceTexts();
    setWindowTitle(ctx_.Texts.AppTitle + " - " + app::ReleaseText);
    const ecudata::EcuImages& images = ctx_.Images;
    const ecudata::Mem2Rec& zone2 = images.Mem2Data;
    lblTimeGas_->setText(GasHoursText + " " + HoursText(zone2.HoursGas));
    lblTimePetrol_->setText(PetrolHoursText + " " + HoursText(zone2.HoursBenz));
    cmdErase_->setEnabled(images.Blocks.Read(ecudata::EditBlock::Mem2));
}

// The reset is a zone-2 edit: none before zone 2 is read.
void FrmService::CmdErase_Click() {
    ecudata::EcuImages& images = ctx_.Images;
    if (!images.Blocks.Read(ecudata::EditBlock::Mem2)) {
        return;
    }
    images.Mem2Write.HoursBenz = ResetCounter;
    images.Mem2Write.HoursGas = ResetCounter;
    ctx_.Requests.Mem2WriteCountdown = 1.0;
    lblTimeGas_->setText(GasHoursText + " 0");
    lblTimePetrol_->setText(PetrolHoursText + " 0");
}

} // namespace monitor
