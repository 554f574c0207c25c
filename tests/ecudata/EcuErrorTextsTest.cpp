#include "ecudata/EcuErrorTexts.h"

#include <gtest/gtest.h>

using namespace ecudata;

TEST(EcuErrorTexts, DescriptionAndStateTexts) {
    const QStringList texts = {"A ? x|y|z", "  Only a description  ", "", "B ? on|off ? ignored",
                               "C ?"};
    const struct {
        int code;
        int state;
        const char* description;
        const char* stateText;
    } cases[] = {
        {0, 0, "A", " x"}, {0, 2, "A", "z"},    {0, 3, "A", ""}, {1, 0, "Only a description", ""},
        {2, 0, "", ""},    {3, 1, "B", "off "}, {3, 2, "B", ""}, {4, 0, "C", ""},
        {5, 0, "", ""},    {-1, 0, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetErrEcuText(texts, c.code), c.description) << c.code;
        EXPECT_EQ(GetErrEcuSubText(texts, c.code, static_cast<quint8>(c.state)), c.stateText)
            << c.code << "/" << c.state;
    }
}

TEST(EcuErrorTexts, AnEmptyListHasNoText) {
    EXPECT_EQ(GetErrEcuText({}, 0), "");
    EXPECT_EQ(GetErrEcuSubText({}, 0, 0), "");
}

TEST(EcuErrorTexts, EveryStateValueCanHaveItsText) {
    QStringList states;
    for (int s = 0; s < 256; ++s) {
        states << QString::number(s);
    }
    const QStringList texts = {"D ?" + states.join("|")};
    EXPECT_EQ(GetErrEcuSubText(texts, 0, 255), "255");
}
