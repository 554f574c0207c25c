#include "emulation/FrmEnterValueLambda.h"

#include "app/Controls.h"
#include "app/ProgramContext.h"
#include "monitor/DialogTexts.h"
#include "support/Conversions.h"
#include "support/MessageBox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace emulation {

namespace {

constexpr const char* DesignCaptions[] = {"** [+/-] Lineare", "**[%] Percentuale",
                                          "**[=] Assoluta"};

} // namespace

FrmEnterValueLambda::FrmEnterValueLambda(app::ProgramContext& context, QWidget* owner)
    : QDialog(owner), ctx_(context) {
    setObjectName("FrmEnterValueLambda");
    setWindowTitle(context.Texts.AppTitle);
    setModal(true);
    setFixedSize(app::ToPixels(3600), app::ToPixels(2160));
    for (int i = 0; i < 3; ++i) {
        opt_[i] = new QRadioButton(DesignCaptions[i], this);
        opt_[i]->setObjectName(app::ArrayName("OptTipoOper", i));
        app::MoveTwips(*opt_[i], 240, 180 + i * 360, 3120, 300);
    }
    txtValue_ = new QLineEdit("0", this);
    txtValue_->setObjectName("TxtValue");
    app::MoveTwips(*txtValue_, 240, 1320, 1800, 330);
    cmdRet_ = new QPushButton("Click", this);
    cmdRet_->setObjectName("CmdRet");
    cmdRet_->setAutoDefault(false);
    app::MoveTwips(*cmdRet_, 2160, 1290, 1200, 390);
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
    const QStringList texts = monitor::DialogTexts(ctx_.ObjLingue, "[Frm_EnterValue]", 3);
    for (int i = 0; i < 3; ++i) {
        opt_[i]->setText(texts.value(i));
    }
}

bool FrmEnterValueLambda::ValidateValueText() {
    const QString text = txtValue_->text();
    int oper = OperLinear;
    for (int i = 0; i < 3; ++i) {
        if (opt_[i]->isChecked()) {
            oper = i + 1;
        }
    }
    const int message = CheckEnterValue(text, oper, ctx_.DecimalSep);
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
    for (int i = 0; i < 3; ++i) {
        if (opt_[i]->isChecked()) {
            Oper = i + 1;
        }
    }
    Result = support::LocaleNumber(txtValue_->text(), ctx_.DecimalSep).value_or(0.0);
    confirmed_ = true;
    accept();
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
