#include "emulation/EmulaLayout.h"

#include "support/Conversions.h"

namespace emulation {

namespace {

// The settings above the table, in three columns of rows: the installation's choices,
// the thresholds (a heading row, then a row per level with the Ante and Post boxes) and
// the live outputs.
constexpr const char* SettingRows[][2] = {
    {"LblSwtchLambda", "CmbSwtchLambda"}, {"LblAbilEmula", "CmbAbilEmula"},
    {"LblSonda1", "CmbSonda1"},           {"LblSonda2", "CmbSonda2"},
    {"LblRitardo", "CmbRitardo"},         {"LblFiltro", "CmbFiltro"},
};
constexpr const char* LevelRows[][3] = {
    {"LblEmulLevAlto", "TxtEmulLevAltoAnte", "TxtEmulLevAltoPost"},
    {"LblEmulLevBasso", "TxtEmulLevBassoAnte", "TxtEmulLevBassoPost"},
};
constexpr const char* LiveRows[][2] = {{"LblLambdaOut1", "TxtLambdaOut1"},
                                       {"LblLambdaOut2", "TxtLambdaOut2"},
                                       {"LblAbsPres", "TxtAbsPres"}};
constexpr const char* Grids[] = {"GrdTitolo", "GrdRpm", "GrdBar", "GrdEmul"};

constexpr float Margin = 120;
constexpr float LiveBoxHeight = 405;

float Nearest(float value) {
    return float(support::RoundHalfEven(double(value)));
}

void Place(ui::TwipsBox& box, float left, float top, float width, float height) {
    box.Left = left;
    box.Top = top;
    box.Width = width;
    box.Height = height;
}

} // namespace

const QStringList& EmulaPageControls() {
    static const QStringList names = [] {
        QStringList list{"FrmEmul", "LblTabSoglie", "LblHelpTabDelay",
                         "LblAnte", "LblPost",      "PctGrdLambda"};
        for (const auto& row : SettingRows) {
            list << row[0] << row[1];
        }
        for (const auto& row : LevelRows) {
            list << row[0] << row[1] << row[2];
        }
        for (const auto& row : LiveRows) {
            list << row[0] << row[1];
        }
        for (const char* name : Grids) {
            list << name;
        }
        return list;
    }();
    return names;
}

void LayoutEmulaPage(ui::TwipsGeometry& page, float tabWidth, float tabHeight, float outerWidth,
                     float outerHeight) {
    const bool large = outerHeight > LargeFontAboveHeight;
    const float font = large ? 16 : 12;
    const float helpHeight = large ? 450 : 330;
    const float gridGap = large ? 420 : 330;
    const float gridFont = outerWidth > LargeGridFontAboveWidth ? 14 : 10;

    ui::TwipsBox& frame = page["FrmEmul"];
    Place(frame, 60, 900, tabWidth - 180, tabHeight - 900 - 120);
    const float inner = frame.Width - 2 * Margin;

    // The settings in the upper half.
    const float upper = frame.Height * 510 / 1000;
    const float rowPitch = (upper - 240) / float(std::size(SettingRows));
    const float rowHeight = std::min(rowPitch - 30, helpHeight + 30);
    const float widths[3] = {inner * 40 / 100, inner * 31 / 100, inner * 29 / 100};
    const float captionShare[3] = {56, 42, 62}; // percent of the column
    const float lefts[3] = {Margin, Margin + widths[0], Margin + widths[0] + widths[1]};
    const auto place = [&](const char* name, float left, int row, float width) {
        Place(page[name], left, 180 + row * rowPitch, width - 30, rowHeight);
        page[name].FontSize = font;
    };
    const auto pairRow = [&](const char* const row[2], int column, int index) {
        const float caption = widths[column] * captionShare[column] / 100;
        place(row[0], lefts[column], index, caption);
        place(row[1], lefts[column] + caption, index, widths[column] - caption - 60);
    };
    for (int i = 0; i < int(std::size(SettingRows)); ++i) {
        pairRow(SettingRows[i], 0, i);
    }
    const float levelCaption = widths[1] * captionShare[1] / 100;
    const float box = (widths[1] - levelCaption - 60) / 2;
    place("LblAnte", lefts[1] + levelCaption, 0, box);
    place("LblPost", lefts[1] + levelCaption + box, 0, box);
    for (int level = 0; level < 2; ++level) {
        place(LevelRows[level][0], lefts[1], level + 1, levelCaption);
        place(LevelRows[level][1], lefts[1] + levelCaption, level + 1, box);
        place(LevelRows[level][2], lefts[1] + levelCaption + box, level + 1, box);
    }
    for (int i = 0; i < int(std::size(LiveRows)); ++i) {
        pairRow(LiveRows[i], 2, i);
        page[LiveRows[i][1]].Height = LiveBoxHeight;
    }

    // The table below: the thresholds label, its help line, the grids inside the label.
    ui::TwipsBox& label = page["LblTabSoglie"];
    Place(label, Margin, upper, inner, frame.Height * 460 / 1000 - helpHeight);
    label.FontSize = font;
    ui::TwipsBox& help = page["LblHelpTabDelay"];
    Place(help, Margin, label.Top + label.Height, inner, helpHeight);
    help.FontSize = font;

    const float h = Nearest((label.Height - 180) / 100 * 18);
    const float area = label.Width - 2 * 60;
    const float pressWidth = area * 12 / 100;
    const float rpmColumn = area * 88 / 100 / 12;
    const float left = label.Left + 60;
    const float top = label.Top + gridGap;
    Place(page["GrdTitolo"], left, top, pressWidth, h);
    Place(page["GrdRpm"], left + pressWidth, top, rpmColumn * 12, h);
    Place(page["GrdBar"], left, top + h, pressWidth, 4 * h);
    Place(page["GrdEmul"], left + pressWidth, top + h, rpmColumn * 12, 4 * h);
    for (const char* grid : Grids) {
        page[grid].FontSize = gridFont;
    }
}

EmulaGridCells EmulaGridCellsOf(const ui::TwipsGeometry& page) {
    const auto at = [&page](const char* name) {
        const auto it = page.find(name);
        return it == page.end() ? ui::TwipsBox{} : it->second;
    };
    return {at("GrdEmul").Height / 4, at("GrdEmul").Width / 12, at("GrdBar").Width};
}

} // namespace emulation
