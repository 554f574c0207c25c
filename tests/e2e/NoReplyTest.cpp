// An ECU that stops answering with the cable in, against lx735-sim: the status bar says
// so at the first unanswered try, and the live values are emptied until it answers again.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QColor>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 90000; // the lost link is searched for again after its resends

class EndToEndNoReply : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(staged.Valid());
        staged.MapCom(1, staged.StartSim("com1"));
        ASSERT_TRUE(staged.SimControl("com1", "set key 1\nset rpm 2500\nset supply 13.6"));
        ASSERT_TRUE(staged.StartProgram());
        ASSERT_TRUE(ShowsLive());
    }

    QString Field(const QString& name, const QString& field) {
        const auto fields = staged.ReadControl(name);
        return fields ? fields->value(field) : QString("<not read>");
    }
    bool Shows(const QString& name, const QString& text) {
        return WaitFor([&] { return Field(name, "text") == text; }, LongMs * 1ms);
    }
    bool ShowsLive() {
        return WaitFor(
            [&] {
                return !Field("TxtRpm(0)", "text").trimmed().isEmpty() &&
                       Field("TxtStatusBar(1)", "text").startsWith("COM OK");
            },
            LongMs * 1ms);
    }

    StagedProgram staged;
};

TEST_F(EndToEndNoReply, ASilentEcuShowsNoReplyAndNoLiveValueUntilItAnswersAgain) {
    ASSERT_TRUE(staged.SimControl("com1", "silence count=forever"));
    ASSERT_TRUE(Shows("TxtStatusBar(1)", "NO REPLY"))
        << Field("TxtStatusBar(1)", "text").toStdString();
    const auto cell = staged.ReadControl("TxtStatusBar(1)");
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->value("back"), "#ff0000");
    EXPECT_GT(QColor(cell->value("fore")).green(), 200) << "white ink, as drawn over red";
    for (const char* live : {"TxtRpm(0)", "TxtRpm(1)", "TxtSupply"}) {
        EXPECT_TRUE(Shows(live, "")) << live << " shows " << Field(live, "text").toStdString();
    }

    ASSERT_TRUE(staged.SimControl("com1", "clear"));
    EXPECT_TRUE(ShowsLive()) << Field("TxtStatusBar(1)", "text").toStdString() << " / "
                             << Field("TxtRpm(0)", "text").toStdString();
}

} // namespace
} // namespace e2e
