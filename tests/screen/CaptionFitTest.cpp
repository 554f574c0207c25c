// Every caption an installer reads fits its control: the main window (each tab it can
// open), the error list, the service window, the About box, the expert and level-sensor
// dialogs and the compensation window, in English and Italian,
// at the start size and filling a 1920 x 1080 screen, measured with the metrics of the
// font each control draws with. It runs on an X display (Xvfb) with the program's font,
// and keeps screenshots of the main window with its tab rows (build/tests/screen/
// screenshots).

#include "ProgramRig.h"
#include "WindowFindings.h"
#include "emulation/FrmCompensaTbl.h"
#include "monitor/FrmErrEcu.h"
#include "monitor/FrmService.h"
#include "settings/ConfigPage.h"
#include "settings/FrmLevelSetting.h"
#include "settings/FrmSetExpert.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTableWidget>

namespace screen_test {
namespace {

struct Cut {
    QString where;
    QString caption;
    int needed = 0;
    int room = 0;
};

// The captions of window's visible controls that are wider than the room they have.
QList<Cut> CutCaptions(QWidget& window) {
    QList<Cut> cuts;
    auto check = [&](const QWidget& control, const QString& caption, int needed, int room) {
        if (!caption.trimmed().isEmpty() && needed > room) {
            cuts.append({window.objectName() + "/" + control.objectName(), caption, needed, room});
        }
    };
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&window)) {
            continue;
        }
        const QFontMetrics metrics(control->font());
        if (auto* label = qobject_cast<QLabel*>(control)) {
            if (label->wordWrap()) {
                const QRect room = label->contentsRect();
                const QRect used = metrics.boundingRect(room, Qt::TextWordWrap, label->text());
                check(*label, label->text(), used.height(), room.height());
            } else {
                check(*label, label->text(), LinesSize(metrics, label->text()).width(),
                      label->contentsRect().width() - 2 * label->margin());
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            const QString text = ButtonText(*button);
            check(*button, text, LinesSize(metrics, text).width(), ButtonContents(*button).width());
        } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
            check(*frame, frame->title(), metrics.horizontalAdvance(frame->title()),
                  frame->width() - 2 * metrics.averageCharWidth());
        } else if (auto* grid = qobject_cast<QTableWidget*>(control)) {
            const QFontMetrics cells(grid->font());
            for (int c = 0; c < grid->columnCount(); ++c) {
                if (const QTableWidgetItem* item = grid->item(0, c)) {
                    check(*grid, item->text(), cells.horizontalAdvance(item->text()),
                          grid->columnWidth(c) - 6);
                }
            }
        }
    }
    return cuts;
}

// The controls of window that stand across the top line of their titled frame: they begin
// above the frame's contents and reach into them.
QStringList ControlsAcrossFrameLines(QWidget& window) {
    QStringList across;
    for (QGroupBox* frame : window.findChildren<QGroupBox*>()) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        option.textAlignment = frame->alignment();
        const int top =
            frame->style()
                ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, frame)
                .top();
        for (QWidget* control : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (control->isVisibleTo(&window) && control->y() < top &&
                control->geometry().bottom() >= top) {
                across << frame->objectName() + "/" + control->objectName();
            }
        }
    }
    return across;
}

std::string Describe(const QList<Cut>& cuts) {
    std::string text;
    for (const Cut& cut : cuts) {
        text += "\n  " + cut.where.toStdString() + " \"" + cut.caption.toStdString() + "\" needs " +
                std::to_string(cut.needed) + " px, has " + std::to_string(cut.room);
    }
    return text;
}

struct Case {
    int language; // 0 English, 1 Italian
    bool fullScreen;
};

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return std::string(info.param.language == 0 ? "English" : "Italian") +
           (info.param.fullScreen ? "FullScreen" : "StartSize");
}

class CaptionFit : public ProgramRig, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override {
        OnDisplayIn(GetParam().language);
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        if (GetParam().fullScreen) {
            ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(1920, 1080));
            Maximise(Window());
        }
        QCoreApplication::processEvents();
    }

    // The tabs the installer can pick, each laid out as its switch lays it out.
    QList<int> VisibleTabs() {
        QList<int> tabs;
        for (int i = 0; i < Window().SstMain().count(); ++i) {
            if (Window().SstMain().isTabVisible(i)) {
                tabs << i;
            }
        }
        return tabs;
    }

    // Every tab the installer can pick, checked as its switch lays it out.
    void CheckEveryTab(const char* view) {
        for (int tab : VisibleTabs()) {
            Window().MnuViewTab_Click(tab);
            QCoreApplication::processEvents();
            const QList<Cut> cuts = CutCaptions(Window());
            EXPECT_TRUE(cuts.isEmpty()) << view << ", tab " << tab << ":" << Describe(cuts);
        }
        Window().MnuViewTab_Click(0);
        QCoreApplication::processEvents();
    }

    // The main window as the installer sees it, kept beside the test program.
    void KeepScreenshot(const QString& view) {
        const QString file = PicturePath({}, "-" + view);
        EXPECT_TRUE(Window().grab().save(file)) << file.toStdString();
    }
};

TEST_P(CaptionFit, NoCaptionIsWiderThanItsControl) {
    ShowErrorButton();
    ASSERT_FALSE(Hidden("CmdErrInj"));

    CheckEveryTab("shipped label layout");
    Window().MnuViewTab_Click(1);
    QCoreApplication::processEvents();
    KeepScreenshot("configuration");
    Window().MnuViewTab_Click(0);
    SwitchDeveloperView();
    ASSERT_TRUE(context->DeveloperView);
    EXPECT_EQ(Window().SstMain().Rows(), (QList<QList<int>>{{3, 4, 5}, {0, 1, 2}}));
    CheckEveryTab("developer view");
    KeepScreenshot("developer-view");
    SwitchDeveloperView();
    EXPECT_EQ(Window().SstMain().Rows(), (QList<QList<int>>{{2, 3}, {0, 1}}));
    KeepScreenshot("installer-view");

    Live().CmdErrInj_Click();
    Live().CmdService_Click();
    Window().MnuInfoAbout_Click();
    QCoreApplication::processEvents();
    for (QWidget* other :
         {static_cast<QWidget*>(&Live().ErrorList()), static_cast<QWidget*>(&Live().Service()),
          static_cast<QWidget*>(Window().AboutBox())}) {
        ASSERT_NE(other, nullptr);
        const QList<Cut> cuts = CutCaptions(*other);
        EXPECT_TRUE(cuts.isEmpty()) << Describe(cuts);
    }
}

TEST_P(CaptionFit, DialogsAndTheLambdaPageFitTheirCaptions) {
    SwitchDeveloperView(); // every control of the expert dialog shown
    Window().MnuViewTab_Click(4);
    QCoreApplication::processEvents();
    QList<Cut> cuts = CutCaptions(Window());
    EXPECT_TRUE(cuts.isEmpty()) << "Lambda page:" << Describe(cuts);

    // The Lambda page's layout leaves the Configuration page's headings in their boxes.
    Window().MnuViewTab_Click(1);
    QCoreApplication::processEvents();
    const QWidget& heading = Widget("LblFrmRPM");
    EXPECT_EQ(heading.parentWidget()->objectName(), "FrmCongif");
    EXPECT_TRUE(Widget("ShpFrmRPM").geometry().contains(heading.geometry()));
    EXPECT_FALSE(heading.geometry().intersects(Widget("LblFrmTyp").geometry()));

    program->configPage->CmdExpert_Click();
    program->configPage->CmdTpyGLS_Click();
    qobject_cast<QPushButton*>(&Widget("CmdTableComp"))->click();
    QCoreApplication::processEvents();
    auto* compensation = Window().findChild<emulation::FrmCompensaTbl*>("FrmCompensaTbl");
    ASSERT_NE(compensation, nullptr);
    ASSERT_NE(program->configPage->LevelDialog(), nullptr);
    // The unit beside each threshold, not the sensor's description.
    EXPECT_EQ(program->configPage->LevelDialog()->findChild<QLabel*>("LblMisura(0)")->text(), "%");
    for (QWidget* dialog : {static_cast<QWidget*>(&program->configPage->Expert()),
                            static_cast<QWidget*>(program->configPage->LevelDialog()),
                            static_cast<QWidget*>(compensation)}) {
        cuts = CutCaptions(*dialog);
        EXPECT_TRUE(cuts.isEmpty()) << Describe(cuts);
        EXPECT_TRUE(ControlsAcrossFrameLines(*dialog).isEmpty())
            << ControlsAcrossFrameLines(*dialog).join(", ").toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, CaptionFit,
                         ::testing::Values(Case{0, false}, Case{1, false}, Case{0, true},
                                           Case{1, true}),
                         CaseName);

} // namespace
} // namespace screen_test
