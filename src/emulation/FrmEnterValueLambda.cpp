#include "emulation/FrmEnterValueLambda.h"

#include "app/CalibrationTexts.h"
#include "app/ProgramContext.h"
#include "emulation/EmulaDesign.h"
#include "support/Conversions.h"
#include "support/Lingue.h"
#include "support/MessageBox.h"
#include "ui/Controls.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace emulation {

FrmEnterValueLambda::FrmEnterValueLambda(app::ProgramContext& context, QWidget* owner,
                                         CellMode mode)
    : QDialog(owner), ctx_(context), mode_(mode) {
    setObjectName("FrmEnterValueLambda");
    setWindowTitle(context.Texts.AppTitle);
    setModal(true);
    setFixedSize(ui::ToPixels(3600), ui::ToPixels(2160));
    ui::ControlBuilder builder(*this);
    builder.Build(EnterValueDesign());
    opt_ = ui::BindArray<QRadioButton>(*this, "OptTipoOper", 0, 3);
    txtValue_ = &ui::Bind<QLineEdit>(*this, "TxtValue");
    cmdRet_ = &ui::Bind<QPushButton>(*this, "CmdRet");
    cmdRet_->setAutoDefault(false);
    txtValue_->installEventFilter(this);
    cmdRet_->installEventFilter(this);
    connect(cmdRet_, &QPushButton::clicked, this, [this] { CmdRet_Click(); });

    // Form_Load: every opening starts here, the dialog being made anew each time.
    CaricaLingua();
    Result = 0;
    txtValue_->setFocus();
    txtValue_->setSelection(0, 1);
    Oper = OperAbsolute;
    opt_[2]->setChecked(true);
}

void FrmEnterValueLambda::CaricaLingua() {
    const QStringList texts = support::SectionTexts(ctx_.ObjLingue, "[Frm_EnterValue]", 3);
    for (int i = 0; i < 3; ++i) {
        opt_[i]->setText(texts.value(i));
    }
}

int FrmEnterValueLambda::CheckedOper(int otherwise) const {
    for (int i = 0; i < int(opt_.size()); ++i) {
        if (opt_[i]->isChecked()) {
            return i + 1;
        }
    }
    return otherwise;
}

bool FrmEnterValueLambda::ValidateValueText() {
    const QString text = txtValue_->text();
    const int message = CheckEnterValue(text, CheckedOper(OperLinear), ctx_.DecimalSep);
    if (message == 0) {
        return true;
    }
    if (message == 1) {
        support::MsgBox(ctx_.Texts.MsgEmula[1], support::vbCritical, windowTitle());
    } else {
        support::MsgBox(ctx_.Texts.MsgEmula[message], support::vbOKOnly, ctx_.Texts.AppTitle);
    }
    if (!text.isEmpty()) {
        txtValue_->clear();
    }
    return false;
}

void FrmEnterValueLambda::CmdRet_Click() {
    if (!ValidateValueText()) {
        Result = 0;
        Oper = OperCancelled;
        return;
    }
    Oper = CheckedOper(Oper);
    Result = support::LocaleNumber(txtValue_->text(), ctx_.DecimalSep).value_or(0.0);
    confirmed_ = true; // before the box: a key released on it must not confirm again
    if (Oper == OperAbsolute) {
        TellLimited();
    }
    accept();
}

void FrmEnterValueLambda::TellLimited() const {
    const std::optional<double> taken = ClampedAbsoluteVolts(Result, mode_);
    if (!taken) {
        return;
    }
    const auto [low, high] = CellVoltRange(mode_.lambdaIndex);
    const QString& sep = ctx_.DecimalSep;
    support::MsgBox(app::TextOf(ctx_, app::CalibrationText::ValueLimited)
                        .arg(support::GeneralNumberText(low, sep),
                             support::GeneralNumberText(high, sep),
                             support::GeneralNumberText(*taken, sep)),
                    support::vbInformation, ctx_.Texts.AppTitle);
}

void FrmEnterValueLambda::reject() {
    // Esc and the close button: both results cleared.
    if (!confirmed_) {
        Result = 0;
        Oper = OperCancelled;
    }
    QDialog::reject();
}

bool FrmEnterValueLambda::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyRelease || confirmed_) {
        return QDialog::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == cmdRet_) {
        CmdRet_Click();
        return true;
    }
    if (watched == txtValue_ && !txtValue_->text().isEmpty()) {
        const int caret = txtValue_->cursorPosition();
        const QString normal = NormaliseSeparator(txtValue_->text(), ctx_.DecimalSep);
        if (normal != txtValue_->text()) {
            txtValue_->setText(normal);
            txtValue_->setCursorPosition(caret);
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && ValidateValueText()) {
            cmdRet_->setFocus();
            CmdRet_Click();
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmEnterValueLambda::keyPressEvent(QKeyEvent* event) {
    // Enter belongs to the text box's own check, not to a default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace emulation
