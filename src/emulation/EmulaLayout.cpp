#include "emulation/EmulaLayout.h"

#include "support/Conversions.h"

namespace emulation {

namespace {

// The settings rows above the table: a caption and its control side by side.
constexpr struct {
    const char* caption;
    const char* control;
} SettingRows[] = {
    {"LblAbilEmula", "CmbAbilEmula"}, {"LblSonda1", "CmbSonda1"}, {"LblSonda2", "CmbSonda2"},
    {"LblRitardo", "CmbRitardo"},     {"LblFiltro", "CmbFiltro"},
};
// The thresholds: captions over the Ante and Post columns, a row for each level.
constexpr const char* LevelBoxes[2][2] = {{"TxtEmulLevAltoAnte", "TxtEmulLevAltoPost"},
                                          {"TxtEmulLevBassoAnte", "TxtEmulLevBassoPost"}};
constexpr const char* LevelCaptions[] = {"LblEmulLevAlto", "LblEmulLevBasso"};
constexpr const char* LiveRows[][2] = {{"LblLambdaOut1", "TxtLambdaOut1"},
                                       {"LblLambdaOut2", "TxtLambdaOut2"},
                                       {"LblAbsPres", "TxtAbsPres"}};
constexpr const char* Grids[] = {"GrdTitolo", "GrdRpm", "GrdBar", "GrdEmul"};

constexpr float Margin = 120;
constexpr float LiveBoxHeight = 405;

float Nearest(float value) {
    return float(support::RoundHalfEven(double(value)));
}

void Place(monitor::TwipsBox& box, float left, float top, float width, float height) {
    box.Left = left;
    box.Top = top;
    box.Width = width;
    box.Height = height;
}

} // namespace

const QStringList& EmulaPageControls() {
    static const QStringList names = [] {
        QStringList list{"FrmEmul", "LblTabSoglie", "LblHelpTabDelay", "LblAnte",
                         "LblPost", "LblFrmRPM",    "PctGrdLambda"};
        for (const auto& row : SettingRows) {
            list << row.caption << row.control;
        }
        for (const auto& row : LevelBoxes) {
            list << row[0] << row[1];
        }
        for (const char* name : LevelCaptions) {
            list << name;
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

void LayoutEmulaPage(monitor::TwipsGeometry& page, float scaleWidth, float scaleHeight,
                     float outerWidth, float outerHeight) {
    const bool large = outerHeight > LargeFontAboveHeight;
    const float font = large ? 16 : 12;
    const float helpHeight = large ? 450 : 330;
    const float gridGap = large ? 420 : 330;
    const float gridFont = outerWidth > LargeGridFontAboveWidth ? 14 : 10;

    monitor::TwipsBox& frame = page["FrmEmul"];
    Place(frame, 60, 900, scaleWidth - 540, scaleHeight - 1575);
    const float inner = frame.Width - 2 * Margin;

    // The settings in the upper half: three columns of caption and control rows.
    const float upper = frame.Height * 510 / 1000;
    const float rowPitch = (upper - 300) / 6;
    const float rowHeight = std::min(rowPitch - 30, helpHeight + 30);
    const float column = inner / 3;
    const float half = column / 2 - 30;
    const auto row = [&](const char* caption, const char* control, float col, int index) {
        const float left = Margin + col * column;
        const float top = 240 + index * rowPitch;
        Place(page[caption], left, top, half, rowHeight);
        Place(page[control], left + half + 30, top, half, rowHeight);
        page[caption].FontSize = page[control].FontSize = font;
    };
    for (int i = 0; i < int(std::size(SettingRows)); ++i) {
        row(SettingRows[i].caption, SettingRows[i].control, 0, i);
    }
    // Thresholds: column headings, then a row per level.
    for (int p = 0; p < 2; ++p) {
        const char* heading = p == 0 ? "LblAnte" : "LblPost";
        Place(page[heading], Margin + column + half + 30 + p * (half / 2 + 15), 240, half / 2,
              rowHeight);
        page[heading].FontSize = font;
    }
    for (int level = 0; level < 2; ++level) {
        const float top = 240 + (level + 1) * rowPitch;
        Place(page[LevelCaptions[level]], Margin + column, top, half, rowHeight);
        page[LevelCaptions[level]].FontSize = font;
        for (int p = 0; p < 2; ++p) {
            monitor::TwipsBox& box = page[LevelBoxes[level][p]];
            Place(box, Margin + column + half + 30 + p * (half / 2 + 15), top, half / 2, rowHeight);
            box.FontSize = font;
        }
    }
    for (int i = 0; i < int(std::size(LiveRows)); ++i) {
        row(LiveRows[i][0], LiveRows[i][1], 2, i);
        page[LiveRows[i][1]].Height = LiveBoxHeight;
    }

    // The table below: the thresholds label, its help line, the grids inside the label.
    monitor::TwipsBox& label = page["LblTabSoglie"];
    Place(label, Margin, upper, inner, frame.Height * 460 / 1000 - helpHeight);
    label.FontSize = font;
    monitor::TwipsBox& help = page["LblHelpTabDelay"];
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
    Place(page["LblFrmRPM"], left + pressWidth, top - helpHeight, rpmColumn * 12, helpHeight);
    page["LblFrmRPM"].FontSize = font;
    for (const char* grid : Grids) {
        page[grid].FontSize = gridFont;
    }
}

EmulaGridCells EmulaGridCellsOf(const monitor::TwipsGeometry& page) {
    const auto at = [&page](const char* name) {
        const auto it = page.find(name);
        return it == page.end() ? monitor::TwipsBox{} : it->second;
    };
    return {at("GrdEmul").Height / 4, at("GrdEmul").Width / 12, at("GrdBar").Width};
}

} // namespace emulation
