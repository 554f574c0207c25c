// The viewer's channel names come from the main window's live-frame labels, bound once:
// in channel order, trimmed, as the captions read when asked; a missing label stops the
// program when the labels are bound, not when the viewer opens.

#include "viewer/FrmView.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

constexpr const char* Labels[] = {"LblCalInjTg",  "LblCalInjTp", "LblCalPres",    "LblCalVacuum",
                                  "LblCalLambda", "LblCalRpm",   "LblCalTempGas", "LblCalTempVap"};

// A window whose label i reads " Caption i ".
void AddLabels(QWidget& window, int count) {
    for (int i = 0; i < count; ++i) {
        auto* label = new QLabel(QStringLiteral(" Caption %1 ").arg(i), &window);
        label->setObjectName(Labels[i]);
    }
}

TEST(ChannelLabels, NameTheChannelsInOrderAsTheCaptionsReadNow) {
    QWidget window;
    AddLabels(window, 8);
    const viewer::ChannelLabels labels(window);
    window.findChild<QLabel*>("LblCalRpm")->setText("Giri ");

    const std::array<QString, 8> names = labels.Names();
    EXPECT_EQ(names[0], "Caption 0");
    EXPECT_EQ(names[2], "Caption 2") << "channel 2: the pressure label";
    EXPECT_EQ(names[3], "Caption 3") << "channel 3: the vacuum label";
    EXPECT_EQ(names[5], "Giri") << "the caption of the moment, trimmed";
}

TEST(ChannelLabelsDeathTest, AWindowWithoutALabelStopsTheProgramNamingIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QWidget window;
    window.setObjectName("FrmLX735");
    AddLabels(window, 7);
    EXPECT_DEATH(viewer::ChannelLabels{window}, "FrmLX735 has no control LblCalTempVap");
}

} // namespace
