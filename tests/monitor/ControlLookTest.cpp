// The looks set on controls, judged on the drawn picture: the back and fore colour set
// are the colours seen for every kind of control, and a grid's cells show the colours the
// program gives them rather than the style's selection.

#include "ui/ControlLook.h"
#include "common/Wait.h"
#include "ui/TextBoxStyle.h"
#include "ui/TextCell.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace monitor_test {
namespace {

// BGR, as the program gives them.
constexpr quint32 Red = 0x0000FF;
constexpr quint32 Blue = 0xFF0000;
constexpr quint32 Yellow = 0x00FFFF;
constexpr quint32 Black = 0x000000;
constexpr quint32 White = 0xFFFFFF;
const QString Sample = "WWWW";

bool Near(QRgb pixel, const QColor& color, int tolerance) {
    return std::abs(qRed(pixel) - color.red()) + std::abs(qGreen(pixel) - color.green()) +
               std::abs(qBlue(pixel) - color.blue()) <=
           tolerance;
}

// How many pixels of the picture lie near the colour (a face drawn as a gradient stays
// within a few steps of its colour; a text's edges are blended, its strokes are not).
int Pixels(const QImage& picture, const QColor& color, int tolerance = 40) {
    int count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            count += Near(picture.pixel(x, y), color, tolerance);
        }
    }
    return count;
}

int Pixels(const QImage& picture, quint32 bgr, int tolerance = 40) {
    return Pixels(picture, support::ColorFromBgr(bgr), tolerance);
}

double Share(const QImage& picture, quint32 bgr) {
    return double(Pixels(picture, bgr)) / (picture.width() * picture.height());
}

// A face the style draws as a gradient (a button's, a combo's) shades the colour: most
// of its middle row is in the colour's hue.
bool FaceInHue(const QImage& picture, quint32 bgr) {
    const int wanted = support::ColorFromBgr(bgr).hsvHue();
    const int y = picture.height() / 2;
    int inHue = 0;
    for (int x = 0; x < picture.width(); ++x) {
        const QColor seen = picture.pixelColor(x, y);
        const int off = std::abs(seen.hsvHue() - wanted);
        inHue += seen.hsvSaturation() > 60 && std::min(off, 360 - off) <= 8;
    }
    return inHue * 2 > picture.width();
}

QImage Drawn(QWidget& control) {
    return control.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

class ControlLook : public testing::Test {
protected:
    ControlLook() {
        QFont large = window.font();
        large.setPointSize(16);
        large.setBold(true);
        window.setFont(large);
        window.resize(400, 120);
    }
    template <typename T> T& Add(T* control) {
        control->setGeometry(10, 10, 240, 60);
        control->show();
        return *control;
    }

    QWidget window;
};

// Every kind of control the pages give colours to, as the main window makes it.
TEST_F(ControlLook, EveryKindDrawsTheBackAndForeColourSet) {
    struct Kind {
        const char* name;
        std::function<QWidget&(QWidget&)> make;
        bool gradient = false;
    };
    const auto textBox = [](QWidget& parent) -> QWidget& {
        auto* box = new QLineEdit(Sample, &parent);
        box->setStyle(&ui::SharedTextBoxStyle());
        return *box;
    };
    const auto cell = [](QWidget& parent) -> QWidget& {
        auto* made = new ui::TextCell(&parent);
        made->setText(Sample);
        return *made;
    };
    const auto combo = [](QWidget& parent) -> QWidget& {
        auto* made = new QComboBox(&parent);
        made->addItem(Sample);
        return *made;
    };
    const Kind kinds[] = {
        {"label", [](QWidget& p) -> QWidget& { return *new QLabel(Sample, &p); }},
        {"text box", textBox},
        {"unframed text box",
         [](QWidget& p) -> QWidget& {
             auto* box = new QLineEdit(Sample, &p);
             box->setFrame(false);
             return *box;
         }},
        {"text cell", cell},
        {"button", [](QWidget& p) -> QWidget& { return *new QPushButton(Sample, &p); }, true},
        {"check box", [](QWidget& p) -> QWidget& { return *new QCheckBox(Sample, &p); }},
        {"option button", [](QWidget& p) -> QWidget& { return *new QRadioButton(Sample, &p); }},
        {"combo", combo, true},
        {"frame", [](QWidget& p) -> QWidget& { return *new QGroupBox(Sample, &p); }},
    };
    for (const Kind& kind : kinds) {
        QWidget& control = Add(&kind.make(window));
        for (const auto& [back, fore] : {std::pair{Red, Blue}, std::pair{Yellow, Black}}) {
            ui::SetBackColor(control, back);
            ui::SetForeColor(control, fore);
            const QImage picture = Drawn(control);
            EXPECT_TRUE(kind.gradient ? FaceInHue(picture, back) : Share(picture, back) > 0.5)
                << kind.name << " back " << back;
            EXPECT_GT(Pixels(picture, fore, 60), 20) << kind.name << " fore " << fore;
            EXPECT_EQ(ui::BackColor(control), back);
            EXPECT_EQ(ui::ForeColor(control), fore);
        }
        delete &control;
    }
}

// A fore colour alone leaves the field as it was: no colour the program did not set.
TEST_F(ControlLook, AForeColourAloneKeepsTheField) {
    auto& box = Add(new QLineEdit(Sample, &window));
    box.setStyle(&ui::SharedTextBoxStyle());
    ASSERT_GT(Share(Drawn(box), White), 0.5);
    ui::SetForeColor(box, Red);
    const QImage picture = Drawn(box);
    EXPECT_GT(Share(picture, White), 0.5);
    EXPECT_GT(Pixels(picture, Red, 60), 20);
}

// A transparent label shows the parent, an opaque one its own back colour.
TEST_F(ControlLook, BackStyleDecidesWhetherTheBackIsDrawn) {
    ui::SetBackColor(window, Blue);
    auto& label = Add(new QLabel(Sample, &window));
    ui::SetBackColor(label, Red);
    ui::SetBackStyle(label, 0);
    const QRect where = label.geometry();
    EXPECT_GT(Share(Drawn(window).copy(where), Blue), 0.5);
    ui::SetBackStyle(label, 1);
    EXPECT_GT(Share(Drawn(window).copy(where), Red), 0.5);
}

// Two grids as the Lambda page has them: the program colours the current cell yellow
// when a grid takes the focus and back when it leaves.
class GridLook : public ControlLook {
protected:
    GridLook() {
        window.resize(520, 200);
        for (QTableWidget* grid : {&first, &second}) {
            grid->setParent(&window);
            grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
            for (int r = 0; r < 2; ++r) {
                for (int c = 0; c < 3; ++c) {
                    grid->setItem(r, c, new QTableWidgetItem("1"));
                }
            }
            ui::ShowOwnCellColours(*grid);
        }
        first.setGeometry(0, 0, 320, 90);
        second.setGeometry(0, 100, 320, 90);
        window.show();
        window.activateWindow();
        active = WaitFor([&] { return window.isActiveWindow(); }, 60s);
    }
    // The program's own marking of the focused grid's current cell.
    static void Mark(QTableWidget& grid, quint32 back) {
        grid.currentItem()->setBackground(support::ColorFromBgr(back));
    }
    static QImage CellPicture(QTableWidget& grid, int row, int col) {
        const QRect cell = grid.visualItemRect(grid.item(row, col)).adjusted(2, 2, -2, -2);
        return grid.viewport()->grab(cell).toImage().convertToFormat(QImage::Format_RGB32);
    }
    static QImage GridPicture(QTableWidget& grid) {
        return grid.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    static int Selection(QTableWidget& grid) {
        int count = 0;
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            count +=
                Pixels(GridPicture(grid), grid.palette().color(group, QPalette::Highlight), 12);
        }
        return count;
    }

    QTableWidget first{2, 3};
    QTableWidget second{2, 3};
    bool active = false;
};

TEST_F(GridLook, TheCurrentCellShowsItsOwnColourAndOnlyTheFocusedGridASelection) {
    ASSERT_TRUE(active);
    first.setCurrentCell(0, 0);
    first.setRangeSelected(QTableWidgetSelectionRange(0, 0, 1, 2), true);
    first.setFocus();
    Mark(first, Yellow);
    ASSERT_TRUE(WaitFor([&] { return first.hasFocus(); }, 30s));
    EXPECT_GT(Share(CellPicture(first, 0, 0), Yellow), 0.9);
    EXPECT_GT(Selection(first), 0); // the rest of the block, as selected

    // The focus moves on: the program gives the cell back its colour, and nothing of the
    // first grid looks selected any more.
    Mark(first, White);
    second.setCurrentCell(1, 1);
    second.setFocus();
    Mark(second, Yellow);
    ASSERT_TRUE(WaitFor([&] { return second.hasFocus(); }, 30s));
    EXPECT_EQ(Selection(first), 0);
    EXPECT_EQ(Pixels(GridPicture(first), Yellow, 12), 0);
    EXPECT_GT(Share(CellPicture(second, 1, 1), Yellow), 0.9);
}

} // namespace
} // namespace monitor_test
