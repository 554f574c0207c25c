// The General page and live-value frame layouts against their worked numbers, in twips.

#include "monitor/GeneralPageLayout.h"
#include "monitor/LiveFrameLayout.h"

#include "ui/Controls.h"

#include <gtest/gtest.h>

namespace monitor_test {
namespace {

using ui::TwipsBox;
using ui::TwipsGeometry;

QString Indexed(const char* name, int i) {
    return ui::ArrayName(name, i);
}

// The design sizes and tops the General page layout reads and never changes.
TwipsGeometry DesignGeneralPage() {
    ui::TwipsGeometry g;
    g["ShpLevel"] = {8400, 120, 1485, 1305};
    g["TxtTmpVap(0)"] = {7453, 1560, 2158, 600};
    g["LblParLambda(0)"].Height = 360;
    g["ShpLambda1"] = {0, 0, 90, 270};
    g["ImgLambda1"].Height = 150;
    g["LblInj(0)"] = {150, 300, 240, 641};
    g["InjPetBar(0)"].Left = 450;
    g["LblInjCmb"] = {2528, 300, 2158, 360};
    g["CmdService"] = {90, 5790, 780, 420};
    g["ImgEmulAttiva"] = {0, 0, 300, 300};
    g["ImgCompAttiva"] = {0, 0, 300, 300};
    return g;
}

constexpr float SW = 10680, SH = 8040, SmallH = 11520;

TEST(GeneralPageLayout, MinimumWindowGivesTheWorkedNumbers) {
    ui::TwipsGeometry g = DesignGeneralPage();
    monitor::LayoutGeneralPage(g, SW, SH, SmallH);

    EXPECT_EQ(g["FrmPrincipe"], (ui::TwipsBox{60, 900, 10140, 6465}));
    EXPECT_EQ(g["ShpPrincipeSx"], (ui::TwipsBox{45, 45, 4965, 6390}));
    EXPECT_EQ(g["ShpPrincipeDx"], (ui::TwipsBox{5130, 45, 4965, 6390}));
    // u = 4965 / 30 = 165.5, taken to the even neighbour 166.
    EXPECT_EQ(g["LblParRpm"].Width, 2656);
    EXPECT_EQ(g["TxtRpm(0)"].Width, 2656);
    EXPECT_EQ(g["ShpLevel"].Left, 5130 + 4965 - 1485 - 225);
    EXPECT_EQ(g["LblParRpm"].Left, 5130 + (8385 - 5130) / 2.0f - 1328);
    for (const char* name : {"TxtTmpVap(0)", "TxtLambda2(0)", "LblParTmpVap", "LblParLambda(1)"}) {
        EXPECT_EQ(g[name].Width, 2158) << name;
    }
    EXPECT_EQ(g["LblParPressure"].Left, 5220);
    EXPECT_EQ(g["TxtSupply"].Left, 5220 + 2158 + 75);
    EXPECT_EQ(g["LblParBar"].Left, 7453 + 2158 + 30);

    // Rows: (6390 - 1515) / 6 = 812.5 -> 812; captions 75 below their box's top.
    EXPECT_EQ(g["TxtTmpVap(0)"].Top, 1560);
    EXPECT_EQ(g["TxtLambda2(0)"].Top, 1560 + 5 * 812);
    EXPECT_EQ(g["LblParLambda(1)"].Top, 1560 + 5 * 812 + 75);

    // Left panel: column at 4965 / 2 + 45 = 2527.5 -> 2528; button row at 5790;
    // injector rows (5790 - 300) / 8 = 686.25 -> 686; bars 641 / 2 - 30 = 290.5 -> 290.
    EXPECT_EQ(g["CmbInj"].Left, 2528);
    EXPECT_EQ(g["ImgEmulAttiva"].Left, 2408);
    EXPECT_EQ(g["LblEmulAttiva"].Width, 2158);
    EXPECT_EQ(g["CkbeV_02"].Top, 5790);
    EXPECT_EQ(g[Indexed("LblInj", 7)], (ui::TwipsBox{0, 300 + 7 * 686, 0, 641}));
    EXPECT_EQ(g[Indexed("InjPetBar", 7)], (ui::TwipsBox{0, 300 + 7 * 686, 1778, 290}));
    EXPECT_EQ(g[Indexed("InjGasBar", 7)], (ui::TwipsBox{0, 300 + 7 * 686 + 320, 1778, 290}));
    // Injector column rows: (5790 - 300) / 9 = 610.
    EXPECT_EQ(g["LblInjTPetrol"].Top, 300 + 2 * 610);
    EXPECT_EQ(g["TxtInjTimeGas(0)"].Top, 300 + 5 * 610 + 360 + 15);
    EXPECT_EQ(g["ImgCompAttiva"].Top, 610 * 82 / 10.0f);
    EXPECT_EQ(g["LblEmulAttiva"].Top, g["LblCompAttiva"].Top + 360);
}

TEST(GeneralPageLayout, LampsAndMarkersFollowTheirAnchors) {
    ui::TwipsGeometry g = DesignGeneralPage();
    monitor::LayoutGeneralPage(g, SW, SH, SmallH);
    const float level = g["ShpLevel"].Left;
    const float offsets[] = {1095, 900, 690, 495, 285, 1095, 285};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(g[Indexed("ShpLevAct", i)].Left, level + offsets[i]) << i;
    }
    EXPECT_EQ(g["ImgLogo"].Left, level + 75);
    const ui::TwipsBox& image = g["ImgLambda1"];
    EXPECT_EQ(image.Top, g["LblParLambda(0)"].Top + 360);
    EXPECT_EQ(g["ShpLambda1"].Top, image.Top - 60) << "centred on the bar picture";
    for (const auto& [box, unit] : {std::pair{"TxtTmpGas(0)", "LblParGradi(1)"},
                                    std::pair{"TxtLambda2(0)", "LblParLambdaMv(1)"}}) {
        EXPECT_EQ(g[unit].Top + g[unit].Height, g[box].Top + g[box].Height) << unit;
    }
}

TEST(GeneralPageLayout, FontSetSwitchesAbove11520TwipsHigh) {
    const struct {
        float height;
        float box, boxHeight, label, labelHeight;
    } cases[] = {{11520, 20, 600, 12, 360}, {11535, 28, 900, 16, 500}};
    for (const auto& c : cases) {
        ui::TwipsGeometry g = DesignGeneralPage();
        monitor::LayoutGeneralPage(g, SW, SH, c.height);
        for (const char* box : {"TxtTmpVap(0)", "TxtSupply", "TxtLambda2(0)"}) {
            EXPECT_EQ(g[box].FontSize, c.box) << c.height;
            EXPECT_EQ(g[box].Height, c.boxHeight) << c.height;
        }
        for (const char* label : {"LblParTmpGas", "LblParBar", "LblInjCmb", "LblCompAttiva"}) {
            EXPECT_EQ(g[label].FontSize, c.label) << label << c.height;
            EXPECT_EQ(g[label].Height, c.labelHeight) << label << c.height;
        }
        EXPECT_EQ(g["LblParRpm"].FontSize, 12) << "in both sets";
        EXPECT_EQ(g["LblParRpm"].Height, c.labelHeight);
    }
}

TEST(GeneralPageLayout, LayingOutTwiceGivesTheSameGeometry) {
    ui::TwipsGeometry g = DesignGeneralPage();
    monitor::LayoutGeneralPage(g, 14000, 10000, 12000);
    const ui::TwipsGeometry once = g;
    monitor::LayoutGeneralPage(g, 14000, 10000, 12000);
    for (const auto& [name, box] : g) {
        EXPECT_EQ(box, once.at(name)) << name.toStdString();
    }
}

TEST(LiveFrameLayout, DesignWidthGivesTheWorkedNumbers) {
    ui::TwipsGeometry g;
    g["FrmParametri"].Width = 10455;
    g["TxtRpm(1)"].Top = 630;
    monitor::LayoutParametriFrame(g, 10920);

    EXPECT_EQ(g["ShpCalComm"].Left, 9420);
    EXPECT_EQ(g["ShpLevelS"].Left, 9480);
    EXPECT_EQ(g["ImgLogoS"].Left, 9525);
    const char* boxes[] = {"TxtRpm(1)",        "TxtPressure(1)", "TxtInjTimePet(1)",
                           "TxtInjTimeGas(1)", "TxtTmpVap(1)",   "TxtTmpGas(1)",
                           "TxtVacuum",        "TxtLambda(1)",   "TxtLambda2(1)"};
    const char* captions[] = {"LblCalRpm",   "LblCalVacuum",  "LblCalInjTp",
                              "LblCalInjTg", "LblCalTempVap", "LblCalTempGas",
                              "LblCalPres",  "LblCalLambda",  "LblCalLambda2"};
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(g[boxes[k]], (ui::TwipsBox{60.0f + k * 1040, 630, 950, 0, 16})) << boxes[k];
        EXPECT_EQ(g[captions[k]], (ui::TwipsBox{30.0f + k * 1040, 0, 1010, 0, 10})) << captions[k];
    }
    EXPECT_EQ(g["TxtLambda2(1)"].Left + g["TxtLambda2(1)"].Width, 9330)
        << "90 twips short of the indicator";
}

TEST(LiveFrameLayout, LargeFontsFrom15360TwipsWide) {
    for (const auto& [width, caption, box] :
         {std::tuple{15359.0f, 10.0f, 16.0f}, std::tuple{15360.0f, 12.0f, 20.0f}}) {
        ui::TwipsGeometry g;
        g["FrmParametri"].Width = 14000;
        monitor::LayoutParametriFrame(g, width);
        EXPECT_EQ(g["LblCalLambda2"].FontSize, caption) << width;
        EXPECT_EQ(g["TxtVacuum"].FontSize, box) << width;
    }
}

} // namespace
} // namespace monitor_test
