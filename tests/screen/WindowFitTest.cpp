// Every window an installer can open, laid out as he sees it: each page of the main
// window in the installer's and the developer's view, and every dialog and window the
// program shows, in English and Italian, at the start size and filling the screen. On
// each one: no caption is cut by its control, no caption lies over another caption or
// box, and no control stands outside its parent. A caption is judged by the text as it
// is drawn (the metrics of the control's own font, placed by its alignment), a box by
// its rectangle; the picture of each window is kept beside the test program
// (build/tests/screen/screenshots/windows).

#include "ProgramRig.h"
#include "WindowFindings.h"
#include "app/FrmLX735.h"
#include "app/FrmStartUp.h"
#include "emulation/FrmCompensaTbl.h"
#include "firmware/FrmUpdate.h"
#include "monitor/FrmErrEcu.h"
#include "monitor/FrmService.h"
#include "settings/ConfigPage.h"
#include "settings/FrmInjSet.h"
#include "settings/FrmLevelSetting.h"
#include "settings/FrmResetParam.h"
#include "settings/FrmSetExpert.h"
#include "viewer/FrmView.h"

#include <QAbstractButton>
#include <array>
#include <map>

namespace screen_test {
namespace {

struct FitCase {
    const char* window;
    int language; // 0 English, 1 Italian
    bool maximised;
};

void PrintTo(const FitCase& c, std::ostream* os) {
    *os << c.window << (c.language == 0 ? " in English" : " in Italian")
        << (c.maximised ? ", maximised" : ", at the start size");
}

std::string CaseName(const ::testing::TestParamInfo<FitCase>& info) {
    return std::string(info.param.window) + (info.param.language == 0 ? "English" : "Italian") +
           (info.param.maximised ? "Maximised" : "StartSize");
}

constexpr int DeveloperView = 0x100; // added to a tab: the tab in the developer view

class WindowFit : public ProgramRig, public ::testing::WithParamInterface<FitCase> {
protected:
    void SetUp() override {
        OnDisplayIn(GetParam().language);
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        QCoreApplication::processEvents();
    }

    // The window the case names, opened as the installer opens it.
    QWidget* Open(const std::string& name) {
        const std::map<std::string, int> tabs{
            {"General", 0},
            {"Configuration", 1},
            {"Calibration", 2},
            {"Modeling", 3},
            {"DeveloperGeneral", DeveloperView + 0},
            {"DeveloperConfiguration", DeveloperView + 1},
            {"DeveloperCalibration", DeveloperView + 2},
            {"DeveloperModeling", DeveloperView + 3},
            {"DeveloperLambda", DeveloperView + 4},
            {"DeveloperMap", DeveloperView + 5},
        };
        if (const auto tab = tabs.find(name); tab != tabs.end()) {
            return ShowTab(tab->second);
        }
        const std::map<std::string, QWidget* (WindowFit::*)()> dialogs{
            {"Expert", &WindowFit::OpenExpert},
            {"LevelSensor", &WindowFit::OpenLevelSensor},
            {"Injectors", &WindowFit::OpenInjectors},
            {"Reset", &WindowFit::OpenReset},
            {"ErrorList", &WindowFit::OpenErrorList},
            {"Service", &WindowFit::OpenService},
            {"About", &WindowFit::OpenAbout},
            {"CompensationTables", &WindowFit::OpenCompensationTables},
            {"Viewer", &WindowFit::OpenViewer},
            {"Update", &WindowFit::OpenUpdate},
        };
        const auto dialog = dialogs.find(name);
        return dialog == dialogs.end() ? nullptr : (this->*dialog->second)();
    }

    QWidget* ShowTab(int tab) {
        if (tab & DeveloperView) {
            SwitchDeveloperView();
            EXPECT_TRUE(context->DeveloperView);
        }
        ShowErrorButton();
        Window().MnuViewTab_Click(tab & ~DeveloperView);
        return &Window();
    }

    QWidget* OpenExpert() {
        program->configPage->CmdExpert_Click();
        return &program->configPage->Expert();
    }
    QWidget* OpenLevelSensor() {
        program->configPage->CmdTpyGLS_Click();
        return program->configPage->LevelDialog();
    }
    QWidget* OpenInjectors() {
        program->configPage->CmdTpyInj_Click();
        return program->configPage->InjectorDialog();
    }
    QWidget* OpenReset() {
        auto* dialog = Own(std::make_unique<settings::FrmResetParam>(*context, Window(), choice_));
        dialog->Form_Load();
        dialog->show();
        return dialog;
    }
    QWidget* OpenErrorList() {
        context->Comm().ErrInj(1, 2);
        Live().CmdErrInj_Click();
        return &Live().ErrorList();
    }
    QWidget* OpenService() {
        Live().CmdService_Click();
        return &Live().Service();
    }
    QWidget* OpenAbout() {
        Window().MnuInfoAbout_Click();
        return Window().AboutBox();
    }
    QWidget* OpenCompensationTables() {
        auto* button = qobject_cast<QAbstractButton*>(Window().Control("CmdTableComp"));
        if (!button) {
            return nullptr;
        }
        button->click();
        return Window().findChild<emulation::FrmCompensaTbl*>();
    }
    QWidget* OpenViewer() {
        const std::array<QString, 8> names{"Gas Time (ms)",  "Petrol Time (ms)", "Vacuum (bar)",
                                           "Pressure (bar)", "Lambda 1 (V)",     "R.P.M.",
                                           "Gas Temp",       "Vapor. Temp"};
        auto* viewer = Own(std::make_unique<viewer::FrmView>(*context, names, &Window()));
        viewer->Form_Load();
        viewer->show();
        return viewer;
    }
    QWidget* OpenUpdate() {
        auto* update = Own(std::make_unique<firmware::FrmUpdate>(*context, &Window()));
        update->Form_Load();
        update->show();
        return update;
    }

    template <class W> W* Own(std::unique_ptr<W> widget) {
        W* raw = widget.get();
        owned_.push_back(std::move(widget));
        return raw;
    }

    void KeepPicture(const QImage& picture) { EXPECT_TRUE(picture.save(PicturePath("/windows"))); }

    int choice_ = settings::ResetOpen;
    std::vector<std::unique_ptr<QWidget>> owned_;
};

TEST_P(WindowFit, EveryCaptionReadsWholeAndAlone) {
    QWidget* shown = Open(GetParam().window);
    ASSERT_NE(shown, nullptr) << GetParam().window;
    QCoreApplication::processEvents();
    if (GetParam().maximised) {
        Maximise(*shown);
        QCoreApplication::processEvents();
    }
    // The model's points as they stand once their one-by-one reveal has ended.
    program->calibrationPages.modeling->PlottaMatricePuntiMod(false);
    const QImage picture = shown->grab().toImage();
    KeepPicture(picture);
    const QStringList findings = WindowFindings(*shown, picture);
    EXPECT_TRUE(findings.isEmpty()) << findings.join("\n  ").prepend("\n  ").toStdString();
}

// Windows as the cases name them; each in both languages at both sizes.
constexpr const char* Windows[] = {
    "General",
    "Configuration",
    "Calibration",
    "Modeling",
    "DeveloperGeneral",
    "DeveloperConfiguration",
    "DeveloperCalibration",
    "DeveloperModeling",
    "DeveloperLambda",
    "DeveloperMap",
    "Expert",
    "LevelSensor",
    "Injectors",
    "Reset",
    "ErrorList",
    "Service",
    "About",
    "CompensationTables",
    "Viewer",
    "Update",
};

std::vector<FitCase> Cases() {
    std::vector<FitCase> cases;
    for (const char* window : Windows) {
        for (const bool maximised : {false, true}) {
            for (const int language : {0, 1}) {
                cases.push_back({window, language, maximised});
            }
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowFit, ::testing::ValuesIn(Cases()), CaseName);

} // namespace
} // namespace screen_test
