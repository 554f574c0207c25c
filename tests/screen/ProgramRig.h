#pragma once

// The program as main composes it (program::Program), on a context of its own linked to
// the simulated ECU, its main window loaded and shown; its timers stay still, so that a
// test opens each window itself.

#include "common/SimProgram.h"
#include "ui/InputBox.h"
#include "ui/ProgramFont.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <gtest/gtest.h>

namespace screen_test {

// The program's font, installed once for the whole test program.
class ProgramFontEnvironment : public ::testing::Environment {
public:
    void SetUp() override { installed = ui::SetProgramFont(); }
    static inline bool installed = false;
};

inline ::testing::Environment* const programFont =
    ::testing::AddGlobalTestEnvironment(new ProgramFontEnvironment);

class ProgramRig : public ::testing::Test, public testing_support::SimProgram {
protected:
    ProgramRig() {
        StageProgram();
        Prepare();
        context->DecimalSep = ",";
        BuildProgram();
        Window().Show();
    }

    bool Hidden(const QString& name) { return Widget(name).isHidden(); }

    // The window in language (0 English, 1 Italian) on an X display with the program's
    // font; the test is skipped on the offscreen platform. The caller returns when the
    // test is skipped or has failed.
    void OnDisplayIn(int language) {
        if (QGuiApplication::platformName() == "offscreen") {
            GTEST_SKIP() << "needs an X display (the test runs on Xvfb)";
        }
        ASSERT_TRUE(ProgramFontEnvironment::installed) << "Liberation Sans is not installed";
        Window().MnuLngT_Click(language);
    }

    // Shift+Ctrl+Alt+X with the password.
    void SwitchDeveloperView() {
        ui::ScopedInputBoxHandler typed([](const QString&, const QString&, const QString&) {
            return QStringLiteral("KOLT5829");
        });
        Window().Form_KeyUp('X', 1 | 2 | 4);
        QCoreApplication::processEvents();
    }

    // The error button shows with its caption as an error read shows it.
    void ShowErrorButton() {
        context->Comm().ErrInj(1, 2);
        Live().Errors.ShowErrorButton();
    }

    // Fills the screen when the window can be sized (no window manager maximises here).
    static void Maximise(QWidget& shown) {
        if (shown.minimumSize() == shown.maximumSize()) {
            return;
        }
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QSize frame = shown.frameGeometry().size() - shown.size();
        shown.setGeometry(QRect(screen.topLeft(), screen.size() - frame));
    }

    // Where the current test keeps a picture, beside the test program: the folder below
    // screenshots (made when missing), the case's name and suffix.
    static QString PicturePath(const QString& folder, const QString& suffix = {}) {
        const QString path = QStringLiteral(LX735_TEST_BINARY_DIR) + "/screenshots" + folder;
        QDir().mkpath(path);
        const QString name =
            QString::fromStdString(::testing::UnitTest::GetInstance()->current_test_info()->name());
        return path + "/" + name.section('/', -1) + suffix + ".png";
    }
};

} // namespace screen_test
