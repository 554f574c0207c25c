// The main window's multi-row tab strip: which tabs stand in which row, the selected
// tab's row next to the pages, hidden tabs, and the selection by click and by code.

#include "ui/TabStrip.h"
#include "ui/Controls.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace app_tests {
namespace {

using Rows = QList<QList<int>>;

class TabStripTest : public ::testing::Test {
protected:
    TabStripTest() {
        for (int i = 0; i < 6; ++i) {
            strip.addTab(new QWidget, QStringLiteral("Tab %1").arg(i));
        }
        strip.resize(600, 400);
        strip.show();
    }
    ui::TabStrip strip;
};

TEST_F(TabStripTest, TabsStandSoManyARowWithTheSelectedRowNextToThePages) {
    const struct {
        QList<int> hidden;
        int perRow;
        int selected;
        Rows rows; // top row first
    } cases[] = {
        {{4, 5}, 2, 0, {{2, 3}, {0, 1}}},   {{4, 5}, 2, 3, {{0, 1}, {2, 3}}},
        {{}, 3, 1, {{3, 4, 5}, {0, 1, 2}}}, {{}, 3, 4, {{0, 1, 2}, {3, 4, 5}}},
        {{4}, 3, 5, {{0, 1, 2}, {3, 5}}},   {{4}, 2, 2, {{5}, {0, 1}, {2, 3}}},
    };
    for (const auto& c : cases) {
        for (int i = 0; i < 6; ++i) {
            strip.setTabVisible(i, !c.hidden.contains(i));
        }
        strip.SetTabsPerRow(c.perRow);
        ASSERT_TRUE(strip.setCurrentIndex(c.selected));
        EXPECT_EQ(strip.Rows(), c.rows) << c.perRow << " a row, tab " << c.selected;

        // Drawn as listed: row r at r row heights from the top, the row's tabs side by
        // side, each a per-row share of the width; hidden tabs not at all.
        const int rowHeight = strip.RowsHeight() / int(c.rows.size());
        for (int r = 0; r < c.rows.size(); ++r) {
            for (int k = 0; k < c.rows[r].size(); ++k) {
                const QPushButton& button = *strip.TabButton(c.rows[r][k]);
                EXPECT_FALSE(button.isHidden());
                EXPECT_EQ(button.geometry(),
                          QRect(k * 600 / c.perRow, r * rowHeight, 600 / c.perRow, rowHeight))
                    << "tab " << c.rows[r][k];
                EXPECT_EQ(button.isChecked(), c.rows[r][k] == c.selected);
            }
        }
        for (int hidden : c.hidden) {
            EXPECT_TRUE(strip.TabButton(hidden)->isHidden());
        }
        EXPECT_EQ(strip.widget(c.selected)->geometry(), strip.rect()) << "pages fill the strip";
    }
}

TEST_F(TabStripTest, AHiddenTabIsRefusedAndHidingTheSelectedOneSelectsAShownOne) {
    QSignalSpy changes(&strip, &ui::TabStrip::currentChanged);
    strip.setTabVisible(4, false);
    EXPECT_FALSE(strip.setCurrentIndex(4));
    EXPECT_FALSE(strip.setCurrentIndex(6));
    EXPECT_EQ(strip.currentIndex(), 0);
    EXPECT_EQ(changes.count(), 0);

    ASSERT_TRUE(strip.setCurrentIndex(5));
    strip.setTabVisible(5, false);
    EXPECT_EQ(strip.currentIndex(), 3) << "the next shown tab, here the one before";
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(TabStripTest, AClickSelectsItsTabOnce) {
    QSignalSpy changes(&strip, &ui::TabStrip::currentChanged);
    QTest::mouseClick(strip.TabButton(2), Qt::LeftButton);
    QTest::mouseClick(strip.TabButton(2), Qt::LeftButton);
    EXPECT_EQ(strip.currentIndex(), 2);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_TRUE(strip.TabButton(2)->isChecked()) << "a second click leaves it selected";
}

} // namespace
} // namespace app_tests
