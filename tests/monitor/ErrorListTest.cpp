// The error flags after an error read: the mask, the error button, and the error-list
// window's rows, refresh and clear.

#include "LiveWindowRig.h"

#include "ecudata/EcuErrorTexts.h"
#include "monitor/ErrorFlags.h"
#include "monitor/FrmErrEcu.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>

namespace monitor_test {
namespace {

TEST(ErrorMask, EachUnusedFunctionMasksItsCodeAndPartner) {
    const struct {
        monitor::ErrorMaskInputs inputs;
        int code;
    } cases[] = {{{true, false, false, false}, 8},
                 {{false, true, false, false}, 9},
                 {{false, false, true, false}, 11},
                 {{false, false, false, true}, 12}};
    for (const auto& c : cases) {
        const monitor::ErrorMaskArray mask = monitor::BuildErrorMask(c.inputs);
        for (int i = 0; i < 64; ++i) {
            EXPECT_EQ(mask[size_t(i)], i == c.code || i == c.code + 32 ? 1 : 0)
                << c.code << " " << i;
        }
    }
}

class ErrorListTest : public LiveWindowRig {
protected:
    comm::ClsComm& link = context->Comm();
    void SetFlags(quint8 value) {
        for (int i = 0; i <= link.ErrInjUBound(); ++i) {
            link.ErrInj(quint8(i), value);
        }
    }
    monitor::ErrorFlags& errors = Live().Errors;
};

TEST_F(ErrorListTest, ButtonShowsForAnErrorWithAText) {
    ASSERT_EQ(context->Texts.EcuErrorTexts.size(), 32);
    SetFlags(255);
    errors.ShowErrorButton();
    EXPECT_TRUE(Hidden("CmdErrInj")) << "255 counts as no error";

    link.ErrInj(35, 2);
    errors.ShowErrorButton();
    EXPECT_FALSE(Hidden("CmdErrInj"));
    EXPECT_EQ(Text("CmdErrInj"), context->Texts.MsgLive[4]);

    link.ErrInj(35, 0);
    errors.ShowErrorButton();
    EXPECT_TRUE(Hidden("CmdErrInj"));
}

// A code beyond the texts shows nothing; an error with a text later in either set still
// shows the button.
TEST_F(ErrorListTest, CodesBeyondTheTextsAreNotShown) {
    context->Texts.EcuErrorTexts = context->Texts.EcuErrorTexts.mid(0, 5);
    link.ErrInj(20, 1);
    errors.ShowErrorButton();
    EXPECT_TRUE(Hidden("CmdErrInj"));
    link.ErrInj(33, 1);
    errors.ShowErrorButton();
    EXPECT_FALSE(Hidden("CmdErrInj")) << "code 1's second set has a text";
}

TEST_F(ErrorListTest, MaskedErrorsAreZeroedAndShownNowhere) {
    context->Images.Mem3Data.EmptyGas = 1;
    context->Images.Mem3Data.LambdaSwitch = 1;
    Widget("TxtVacuum").hide();
    link.ErrInj(9, 1);
    link.ErrInj(41, 2);
    errors.ShowErrorButton();
    EXPECT_EQ(link.ErrInj(9), 0);
    EXPECT_EQ(link.ErrInj(41), 0);
    EXPECT_TRUE(Hidden("CmdErrInj"));

    // On another tab the vacuum box is off screen, not hidden: its error counts.
    Widget("TxtVacuum").show();
    window->SstMain().setCurrentIndex(0);
    link.ErrInj(9, 1);
    errors.ShowErrorButton();
    EXPECT_EQ(link.ErrInj(9), 1);
    EXPECT_FALSE(Hidden("CmdErrInj"));
}

// Each row keeps its code: a code without a text gets no row and shifts no other code's
// states.
TEST_F(ErrorListTest, RowsKeepTheirCodesAcrossGapsInTheTexts) {
    QStringList& texts = context->Texts.EcuErrorTexts;
    texts[2] = "";
    link.ErrInj(3, 1);
    link.ErrInj(35, 2);
    monitor::FrmErrEcu& list = Live().ErrorList();
    Live().CmdErrInj_Click();
    QTableWidget& grid = list.Grid();
    ASSERT_EQ(grid.rowCount(), 31) << "codes 0..31 less the one without a text";
    EXPECT_EQ(list.RowCodes()[2], 3);
    EXPECT_EQ(grid.item(2, 0)->text(), ecudata::GetErrEcuText(texts, 3));
    EXPECT_EQ(grid.item(2, 1)->text(), ecudata::GetErrEcuSubText(texts, 3, 1));
    EXPECT_EQ(grid.item(2, 2)->text(), ecudata::GetErrEcuSubText(texts, 3, 2));
    EXPECT_EQ(grid.horizontalHeaderItem(1)->text(), "State 1");
    EXPECT_EQ(list.windowTitle(), " ECU errors");

    link.ErrInj(3, 3);
    list.Timer1_Timer();
    EXPECT_EQ(grid.item(2, 1)->text(), ecudata::GetErrEcuSubText(texts, 3, 3));
}

// A clear the ECU did not take leaves the list and the button for the next read.
TEST_F(ErrorListTest, FailedClearKeepsTheListAndTheButton) {
    link.ErrInj(3, 1);
    errors.ShowErrorButton();
    Live().CmdErrInj_Click();
    monitor::FrmErrEcu& list = Live().ErrorList();
    list.CmdErrInjCanc_Click(); // the link is not up
    EXPECT_FALSE(list.Grid().item(3, 1)->text().isEmpty());
    EXPECT_FALSE(Hidden("CmdErrInj"));
}

TEST_F(ErrorListTest, EscapeClosesAndTheButtonOpensAgain) {
    Live().CmdErrInj_Click();
    monitor::FrmErrEcu& list = Live().ErrorList();
    EXPECT_FALSE(list.isHidden());
    EXPECT_TRUE(list.Timer1().isActive());
    QKeyEvent escape(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&list, &escape);
    EXPECT_TRUE(list.isHidden());
    EXPECT_FALSE(list.Timer1().isActive());
    Live().CmdErrInj_Click();
    EXPECT_FALSE(list.isHidden());
    EXPECT_EQ(&Live().ErrorList(), &list) << "one window";
}

} // namespace
} // namespace monitor_test
