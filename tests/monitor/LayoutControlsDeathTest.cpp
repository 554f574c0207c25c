// A layout's geometry goes to its bound controls only: a name it computes that is none of
// them (a misspelt key) stops the program, naming the key and the layout.

#include "ui/TwipsGeometry.h"

#include "ui/Controls.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace monitor_test {
namespace {

TEST(LayoutControlsDeathTest, AKeyThatIsNoneOfTheLayoutsControlsStopsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QWidget root;
    auto* box = new QLabel(&root);
    box->setObjectName("LblBox");
    ui::MoveTwips(*box, 150, 150, 1500, 285);
    const ui::LayoutControls layout(root, "TestLayout", {"LblBox"});

    const ui::TwipsGeometry before = layout.Read();
    ui::TwipsGeometry after = before;
    after["LblBox"].Left = 300;
    layout.Write(before, after);
    EXPECT_EQ(ui::LeftTwips(*box), 300);

    // Written, or only read: either way the key stands in the layout's result.
    for (const auto& [misspelt, pattern] :
         {std::pair{"LblBxo", "LblBxo"}, std::pair{"LblBox(0)", "LblBox\\(0\\)"}}) {
        ui::TwipsGeometry wrong = after;
        wrong[misspelt].Width += 0;
        EXPECT_DEATH(layout.Write(after, wrong), std::string("The layout TestLayout computes ") +
                                                     pattern + ", which is none of its controls")
            << misspelt;
    }
}

} // namespace
} // namespace monitor_test
