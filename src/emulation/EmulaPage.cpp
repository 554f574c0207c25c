#include "emulation/EmulaPage.h"

#include "app/Controls.h"
#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "ecudata/ParamFile.h"
#include "emulation/EmulaLayout.h"
#include "emulation/FrmEnterValueLambda.h"
#include "emulation/StepKeys.h"
#include "monitor/ControlLook.h"
#include "monitor/MonitorHooks.h"
#include "platform/Sound.h"
#include "support/Colors.h"
#include "support/Conversions.h"
#include "support/MessageBox.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QTableWidget>
#include <algorithm>
#include <memory>
#include <utility>

namespace emulation {

namespace {

using support::ColorFromBgr;

constexpr quint32 Yellow = 0xFFFF;
constexpr quint32 Black = 0;
constexpr quint32 SysHighlightText = 0x8000000E;
constexpr quint32 SysWindowText = 0x80000008;
constexpr quint32 SysButtonText = 0x80000012;
constexpr quint32 SysWindow = 0x80000005;

constexpr int AxisPaceMs = 250;
constexpr int TablePaceMs = 150;

// The threshold boxes: block byte and partner, the upper box of each pair first.
struct LevelDef {
    const char* name;
    const char* partner;
    bool upper;
    int byte;
};
constexpr LevelDef Levels[] = {
    {"TxtEmulLevAltoAnte", "TxtEmulLevBassoAnte", true, 82},
    {"TxtEmulLevBassoAnte", "TxtEmulLevAltoAnte", false, 83},
    {"TxtEmulLevAltoPost", "TxtEmulLevBassoPost", true, 84},
    {"TxtEmulLevBassoPost", "TxtEmulLevAltoPost", false, 85},
};

const LevelDef* LevelOf(const QObject* box) {
    for (const LevelDef& def : Levels) {
        if (box->objectName() == def.name) {
            return &def;
        }
    }
    return nullptr;
}

// Raises a flag for a scope and puts back what it was.
class Raised {
public:
    explicit Raised(bool& flag) : flag_(flag), was_(std::exchange(flag, true)) {}
    ~Raised() { flag_ = was_; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;

private:
    bool& flag_;
    bool was_;
};

QTableWidgetItem& Cell(QTableWidget& grid, int row, int col) {
    QTableWidgetItem* item = grid.item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignCenter);
        grid.setItem(row, col, item);
    }
    return *item;
}

void PaintCell(QTableWidget& grid, int row, int col, quint32 back, quint32 fore) {
    if (row < 0 || col < 0) {
        return;
    }
    QTableWidgetItem& item = Cell(grid, row, col);
    item.setBackground(ColorFromBgr(back));
    item.setForeground(ColorFromBgr(fore));
}

void PaintBox(QLineEdit& box, quint32 back, quint32 fore) {
    QPalette palette = box.palette();
    palette.setColor(QPalette::Base, ColorFromBgr(back));
    palette.setColor(QPalette::Text, ColorFromBgr(fore));
    box.setPalette(palette);
}

QTableWidget* MakeGrid(QWidget& parent, const char* name) {
    auto* grid = new QTableWidget(1, 1, &parent);
    grid->setObjectName(name);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    return grid;
}

// The marker: a small filled square with a frame, drawn here.
QLabel* MakeMarker(QWidget& parent) {
    auto* marker = new QLabel(&parent);
    marker->setObjectName("PctGrdLambda");
    QPixmap picture(11, 11);
    picture.fill(Qt::red);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 10, 10);
    painter.end();
    marker->setPixmap(picture);
    app::MoveTwips(*marker, 0, 0, 165, 165);
    marker->hide(); // until the working point places it
    return marker;
}

} // namespace

EmulaPage::EmulaPage(app::ProgramContext& context, app::FrmLX735& window)
    : ctx_(context), window_(window) {
    frame_ = qobject_cast<QWidget*>(window.Control("FrmEmul"));
    if (!frame_) {
        return;
    }
    for (const LevelDef& def : Levels) {
        auto* box = new QLineEdit(frame_);
        box->setObjectName(def.name);
    }
    MakeGrid(*frame_, "GrdRpm");
    MakeGrid(*frame_, "GrdBar");
    MakeMarker(*frame_);
    ShowEnterValue = [this](double& result, int& oper) {
        FrmEnterValueLambda dialog(ctx_, &window_);
        dialog.exec();
        result = dialog.Result;
        oper = dialog.Oper;
    };
}

void EmulaPage::Install(app::PageServices& pages, monitor::MonitorHooks& hooks) {
    pages.InitEmulaGrids = [this] { InitEmulaGrids(); };
    pages.AggiornaVariabiliEmulazioneLambda = [this] { AggiornaVariabiliEmulazioneLambda(); };
    pages.AggiornaVariabiliTabellaEmulazioneLambda = [this] {
        AggiornaVariabiliTabellaEmulazioneLambda();
    };
    pages.LayoutEmulaPage = [this] { LayoutEmulaPage(); };
    pages.LoadEmulaFromParFile = [this](const QString& path) { LoadEmulaFromParFile(path); };
    hooks.MoveEmulaMarker = [this] { MoveEmulaMarker(); };
}

template <typename T> T* EmulaPage::Find(const char* name) const {
    return qobject_cast<T*>(window_.Control(name));
}

// The combos and GrdEmul belong to the Configuration page's set of controls; they are
// connected here once they all stand, at the window's load.
void EmulaPage::BindControls() {
    if (bound_) {
        return;
    }
    bound_ = true;
    const auto onIndex = [this](const char* name, void (EmulaPage::*handler)()) {
        if (auto* combo = Find<QComboBox>(name)) {
            connect(combo, &QComboBox::currentIndexChanged, this,
                    [this, handler] { (this->*handler)(); });
        }
    };
    onIndex("CmbAbilEmula", &EmulaPage::CmbAbilEmula_Click);
    onIndex("CmbSonda1", &EmulaPage::CmbSonda1_Click);
    onIndex("CmbSonda2", &EmulaPage::CmbSonda2_Click);
    onIndex("CmbFiltro", &EmulaPage::CmbFiltro_Click);
    onIndex("CmbRitardo", &EmulaPage::CmbRitardo_Click);
    onIndex("CmbSwtchLambda", &EmulaPage::CmbSwtchLambda_Click);
    // The mirrors copy their index into the main combo and run its handler once.
    const auto mirror = [this](const char* name, const char* main, void (EmulaPage::*handler)()) {
        auto* bis = Find<QComboBox>(name);
        if (!bis) {
            return;
        }
        connect(bis, &QComboBox::currentIndexChanged, this, [this, bis, main, handler] {
            if (window_.PageFilling) {
                return;
            }
            if (auto* combo = Find<QComboBox>(main)) {
                const QSignalBlocker quiet(combo);
                combo->setCurrentIndex(bis->currentIndex());
            }
            (this->*handler)();
        });
    };
    mirror("CmbSonda1Bis", "CmbSonda1", &EmulaPage::CmbSonda1_Click);
    mirror("CmbSonda2Bis", "CmbSonda2", &EmulaPage::CmbSonda2_Click);
    mirror("CmbSwtchLambdaBis", "CmbSwtchLambda", &EmulaPage::CmbSwtchLambda_Click);

    for (const LevelDef& def : Levels) {
        if (auto* box = Find<QLineEdit>(def.name)) {
            box->installEventFilter(this);
            connect(box, &QLineEdit::textChanged, this, [this, box] {
                if (!window_.PageFilling) {
                    PaintBox(*box, Yellow, Black);
                }
            });
        }
    }
    for (const char* name : {"GrdBar", "GrdRpm", "GrdEmul"}) {
        if (auto* grid = Find<QTableWidget>(name)) {
            grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
            hold_.Watch(*grid);
            grid->installEventFilter(this);
            connect(grid, &QTableWidget::currentCellChanged, this,
                    [this, grid](int, int, int oldRow, int oldCol) {
                        if (window_.PageFilling || emulaRepainting_) {
                            return;
                        }
                        if (grid->objectName() == "GrdEmul") {
                            DeselectEmulaCell(grid, false);
                        } else {
                            PaintCell(*grid, oldRow, oldCol, support::ColorButtonFace,
                                      SysButtonText);
                        }
                        SelectEmulaCell(grid);
                    });
        }
    }
}

void EmulaPage::InitEmulaGrids() {
    BindControls();
    struct GridDef {
        const char* name;
        int rows, cols, colWidth, rowHeight;
        bool axis;
    };
    constexpr GridDef Defs[] = {{"GrdEmul", TableRows, TableCols, 735, 330, false},
                                {"GrdRpm", 1, TableCols, 735, 390, true},
                                {"GrdBar", TableRows, 1, 1170, 330, true},
                                {"GrdTitolo", 1, 1, 1170, 390, true}};
    for (const GridDef& def : Defs) {
        auto* grid = Find<QTableWidget>(def.name);
        if (!grid) {
            continue;
        }
        grid->setRowCount(def.rows);
        grid->setColumnCount(def.cols);
        const Raised filling(window_.PageFilling);
        for (int r = 0; r < def.rows; ++r) {
            grid->setRowHeight(r, app::ToPixels(def.rowHeight));
            for (int c = 0; c < def.cols; ++c) {
                grid->setColumnWidth(c, app::ToPixels(def.colWidth));
                QTableWidgetItem& item = Cell(*grid, r, c);
                if (def.axis) {
                    item.setBackground(ColorFromBgr(support::ColorButtonFace));
                }
            }
        }
        grid->setSelectionMode(def.axis ? QAbstractItemView::SingleSelection
                                        : QAbstractItemView::ContiguousSelection);
        monitor::ShowOwnCellColours(*grid);
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    // Sizes and places from the design cells: the rpm grid over the table, the pressure
    // grid to its left, the corner above that.
    auto* rpm = Find<QTableWidget>("GrdRpm");
    auto* bar = Find<QTableWidget>("GrdBar");
    auto* emul = Find<QTableWidget>("GrdEmul");
    auto* titolo = Find<QTableWidget>("GrdTitolo");
    auto* label = Find<QWidget>("LblTabSoglie");
    if (!rpm || !bar || !emul || !label) {
        return;
    }
    const int rpmWidth = 735 * TableCols + 30;
    const int rpmHeight = 390 + 30;
    const int emulHeight = 330 * TableRows + 30;
    const int barLeft = app::LeftTwips(*label) + 30;
    const int rpmTop = app::TopTwips(*label) + 330;
    app::MoveTwips(*bar, barLeft, rpmTop + rpmHeight, 1170 + 30, emulHeight);
    app::MoveTwips(*emul, barLeft + app::WidthTwips(*bar), rpmTop + rpmHeight, rpmWidth,
                   emulHeight);
    app::MoveTwips(*rpm, app::LeftTwips(*emul), rpmTop, rpmWidth, rpmHeight);
    if (titolo) {
        app::MoveTwips(*titolo, barLeft, rpmTop, app::WidthTwips(*bar), rpmHeight);
    }
}

int EmulaPage::LambdaIndex() const {
    const auto* combo = Find<QComboBox>("CmbSwtchLambda");
    return combo ? combo->currentIndex() : -1;
}

CellMode EmulaPage::Mode() const {
    const auto* grid = Find<QTableWidget>("GrdEmul");
    const QString tag = grid ? grid->property("Tag").toString() : QString();
    return {tag.toInt() == 1, LambdaIndex()};
}

const EmulaBlk& EmulaPage::ShownBlock() {
    const ecudata::EcuRequests& r = ctx_.Requests;
    const ecudata::EcuImages& images = ctx_.Images;
    const bool pending = r.EmulaWriteCountdown > 0 || r.ReqWriteEmus;
    // A write that went out leaves the ECU holding the write copy until its read-back
    // replaces the read block; the read flag stays raised until then.
    if ((!pending && !r.ReqReadEmus) || images.EmulaBlkData == images.EmulaBlkWrite) {
        edited_ = false;
    }
    return pending || edited_ ? images.EmulaBlkWrite : images.EmulaBlkData;
}

void EmulaPage::EditBlock(const std::function<void(EmulaBlk&)>& edit) {
    ctx_.Images.EmulaBlkWrite = ShownBlock();
    edit(ctx_.Images.EmulaBlkWrite);
    edited_ = true;
    ctx_.Requests.EmulaWriteCountdown = 1;
}

void EmulaPage::ApplyTableEnable(const EmulaBlk& block) {
    const auto* abil = Find<QComboBox>("CmbAbilEmula");
    const bool on = TableEnabled(LambdaIndex(), abil ? abil->currentIndex() : -1, block);
    for (const LevelDef& def : Levels) {
        if (auto* box = Find<QWidget>(def.name)) {
            box->setEnabled(on);
        }
    }
    for (const char* name : {"GrdBar", "GrdRpm", "GrdEmul"}) {
        if (auto* grid = Find<QWidget>(name)) {
            grid->setEnabled(on);
        }
    }
}

void EmulaPage::EnableSettings() {
    const bool typed = LambdaIndex() != 0;
    for (const char* name :
         {"CmbSonda1", "CmbSonda2", "CmbSonda1Bis", "CmbSonda2Bis", "CmbFiltro"}) {
        if (auto* combo = Find<QWidget>(name)) {
            combo->setEnabled(typed);
        }
    }
    const auto* abil = Find<QComboBox>("CmbAbilEmula");
    if (auto* delay = Find<QWidget>("CmbRitardo")) {
        delay->setEnabled(typed && abil && abil->currentIndex() == 1);
    }
}

void EmulaPage::CmbAbilEmula_Click() {
    if (window_.PageFilling) {
        return;
    }
    const auto* abil = Find<QComboBox>("CmbAbilEmula");
    // The zone-2 writer toggles the bits of the mask: the mask asks for the state
    // chosen, whatever was chosen before the write.
    const bool wanted = abil && abil->currentIndex() == 1;
    const bool shown = (ctx_.Images.Mem2Data.Flags & 0x02) != 0;
    quint8& mask = ctx_.Images.Mem2Write.Flags;
    mask = quint8((mask & ~0x02) | (wanted != shown ? 0x02 : 0));
    if (wanted != shown) {
        ctx_.Requests.Mem2WriteCountdown = 1.0;
    }
    EnableSettings();
    ApplyTableEnable(ShownBlock());
}

// A probe's type (0 to 2) goes into its byte of the block, beside the bits kept there.
void EmulaPage::ChooseProbeType(const char* combo, int byte, quint8 keptBits) {
    if (window_.PageFilling) {
        return;
    }
    const auto* choice = Find<QComboBox>(combo);
    const int index = choice ? choice->currentIndex() : -1;
    EditBlock([index, byte, keptBits](EmulaBlk& block) {
        if (index >= 0 && index <= 2) {
            block[byte] = quint8((block[byte] & keptBits) | index);
        }
    });
    ApplyTableEnable(ctx_.Images.EmulaBlkWrite);
}

void EmulaPage::CmbSonda1_Click() {
    ChooseProbeType("CmbSonda1", 86, 0x00);
}

void EmulaPage::CmbSonda2_Click() {
    ChooseProbeType("CmbSonda2", 87, 0xF0); // the high bits hold the filter
}

void EmulaPage::CmbFiltro_Click() {
    if (window_.PageFilling) {
        return;
    }
    const auto* combo = Find<QComboBox>("CmbFiltro");
    const int index = combo ? combo->currentIndex() : -1;
    const int v = index >= 0 && index <= 15 ? index : 0;
    EditBlock([v](EmulaBlk& block) { block[87] = quint8((block[87] & 0x0F) | (v << 4)); });
}

void EmulaPage::CmbRitardo_Click() {
    if (window_.PageFilling) {
        return;
    }
    const auto* combo = Find<QComboBox>("CmbRitardo");
    const std::optional<double> seconds = combo ? DelaySeconds(combo->currentText()) : std::nullopt;
    if (!seconds) {
        return;
    }
    EditBlock([units = DelayUnits(*seconds)](EmulaBlk& block) { SetWord(block, 80, units); });
}

void EmulaPage::CmbSwtchLambda_Click() {
    if (window_.PageFilling) {
        return;
    }
    auto* combo = Find<QComboBox>("CmbSwtchLambda");
    const int index = combo ? combo->currentIndex() : -1;
    const auto& table = ctx_.Tables.TblLambda;
    if (index < 0 || index >= int(table.size())) {
        // An item without its record: the type shown before comes back, nothing changes.
        // The combo takes an index set from inside its own change signal only afterwards.
        if (combo) {
            QMetaObject::invokeMethod(
                combo,
                [combo, shown = lambdaIndexShown_] {
                    const QSignalBlocker quiet(combo);
                    combo->setCurrentIndex(shown);
                },
                Qt::QueuedConnection);
        }
        return;
    }
    const ecudata::LambdaRec& record = table[std::size_t(index)];
    lambdaIndexShown_ = index;
    if (auto* bis = Find<QComboBox>("CmbSwtchLambdaBis")) {
        const QSignalBlocker quiet(bis);
        bis->setCurrentIndex(index);
    }
    ctx_.Images.Mem3Write.LambdaSwitch = record.Id;
    if (auto* grid = Find<QTableWidget>("GrdEmul")) {
        grid->setProperty(
            "Tag", ecudata::FindLambda(ctx_.Tables, record.Id) == OffsetModeIndex ? "1" : "0");
    }
    EditBlock([&record](EmulaBlk& block) { ApplyLambdaDefaults(block, record); });
    ctx_.Requests.Mem3WriteCountdown = 1.0;
    ctx_.Images.EmulaBlkData = ctx_.Images.EmulaBlkWrite;
    AggiornaVariabiliEmulazioneLambda();
    AggiornaVariabiliTabellaEmulazioneLambda();
}

void EmulaPage::FillBox(QLineEdit* box, const QString& text) {
    if (box) {
        box->setText(text);
    }
}

void EmulaPage::AggiornaVariabiliEmulazioneLambda() {
    const Raised filling(window_.PageFilling);
    const EmulaBlk block = ShownBlock();
    const auto setIndex = [this](const char* name, int index) {
        if (auto* combo = Find<QComboBox>(name)) {
            combo->setCurrentIndex(index < combo->count() ? index : -1);
        }
    };
    const auto probe = [](int type) { return type <= 2 ? type : -1; };
    setIndex("CmbAbilEmula", (ctx_.Images.Mem2Data.Flags & 0x02) ? 1 : 0);
    setIndex("CmbSonda1", probe(block[86]));
    setIndex("CmbSonda2", probe(block[87] & 0x0F));
    setIndex("CmbSonda1Bis", probe(block[86]));
    setIndex("CmbSonda2Bis", probe(block[87] & 0x0F));
    setIndex("CmbFiltro", block[87] >> 4);
    if (auto* delay = Find<QComboBox>("CmbRitardo")) {
        QStringList items;
        for (int i = 0; i < delay->count(); ++i) {
            items << delay->itemText(i);
        }
        delay->setCurrentIndex(DelayIndex(items, Word(block, 80)));
    }
    for (const LevelDef& def : Levels) {
        FillBox(Find<QLineEdit>(def.name), VoltText(block[def.byte], ctx_.DecimalSep));
    }
    const bool typed = LambdaIndex() != 0;
    for (const char* name :
         {"CmbAbilEmula", "CmbSonda2", "CmbSonda1", "CmbFiltro", "CmbSonda1Bis", "CmbSonda2Bis"}) {
        if (auto* combo = Find<QWidget>(name)) {
            combo->setEnabled(typed);
        }
    }
    EnableSettings();
    ApplyTableEnable(block);
    lambdaIndexShown_ = LambdaIndex();
}

void EmulaPage::AggiornaVariabiliTabellaEmulazioneLambda() {
    auto* rpm = Find<QTableWidget>("GrdRpm");
    auto* bar = Find<QTableWidget>("GrdBar");
    auto* emul = Find<QTableWidget>("GrdEmul");
    const EmulaBlk block = ShownBlock();
    const Raised repainting(emulaRepainting_);
    if (rpm) {
        for (int c = 0; c < TableCols; ++c) {
            Cell(*rpm, 0, c).setText(QString::number(Word(block, 2 * c)));
        }
    }
    if (bar) {
        for (int r = 0; r < TableRows; ++r) {
            Cell(*bar, r, 0).setText(QString::number(Word(block, 24 + 2 * r)));
        }
    }
    if (!emul) {
        return;
    }
    if (emul->property("Tag").toString().isEmpty()) {
        emul->setProperty("Tag", "1");
    }
    const CellMode mode = Mode();
    for (int c = 0; c < TableCols; ++c) {
        for (int r = 0; r < TableRows; ++r) {
            Cell(*emul, r, c).setText(CellText(block[TableByte(r, c)], mode, ctx_.DecimalSep));
        }
    }
}

void EmulaPage::LayoutEmulaPage() {
    if (!frame_) {
        return;
    }
    monitor::SetBackColor(*frame_, support::ColorButtonFace);
    const monitor::TwipsGeometry before = monitor::ReadGeometry(window_, EmulaPageControls());
    monitor::TwipsGeometry page = before;
    QWidget& tabs = window_.SstMain();
    emulation::LayoutEmulaPage(page, float(app::WidthTwips(tabs)), float(app::HeightTwips(tabs)),
                               float(app::ToTwips(window_.frameGeometry().width())),
                               float(app::ToTwips(window_.frameGeometry().height())));
    monitor::WriteGeometry(window_, before, page);
    const EmulaGridCells cells = EmulaGridCellsOf(page);
    const int row = app::ToPixels(int(cells.RowHeight));
    for (const char* name : {"GrdTitolo", "GrdRpm", "GrdBar", "GrdEmul"}) {
        auto* grid = Find<QTableWidget>(name);
        if (!grid) {
            continue;
        }
        const bool press = grid->columnCount() == 1;
        for (int c = 0; c < grid->columnCount(); ++c) {
            grid->setColumnWidth(c,
                                 app::ToPixels(int(press ? cells.PressColumn : cells.RpmColumn)));
        }
        for (int r = 0; r < grid->rowCount(); ++r) {
            grid->setRowHeight(r, row);
        }
    }
    if (auto* marker = Find<QWidget>("PctGrdLambda")) {
        marker->raise();
    }
}

void EmulaPage::MoveEmulaMarker() {
    auto* rpm = Find<QTableWidget>("GrdRpm");
    auto* bar = Find<QTableWidget>("GrdBar");
    auto* emul = Find<QTableWidget>("GrdEmul");
    auto* marker = Find<QWidget>("PctGrdLambda");
    if (!rpm || !bar || !emul || !marker || Cell(*rpm, 0, 0).text().isEmpty()) {
        return;
    }
    std::array<int, TableCols> rpmBreaks{};
    std::array<int, TableRows> pressBreaks{};
    for (int c = 0; c < TableCols; ++c) {
        rpmBreaks[c] = Cell(*rpm, 0, c).text().toInt();
    }
    for (int r = 0; r < TableRows; ++r) {
        pressBreaks[r] = Cell(*bar, r, 0).text().toInt();
    }
    const ecudata::Mem1Rec& live = ctx_.Images.Mem1Data;
    const MarkerCell cell = EmulaMarkerCell(rpmBreaks, pressBreaks, live.Rpm, live.Press2);
    const int left =
        app::LeftTwips(*emul) + app::ToTwips(emul->columnWidth(0)) * (cell.col - 1) + 15;
    const int top = app::TopTwips(*emul) + app::ToTwips(emul->rowHeight(0)) * (cell.row - 1) + 15;
    app::MoveTwips(*marker, left, top, 165, 165);
    marker->show();
    marker->raise();
}

void EmulaPage::LoadEmulaFromParFile(const QString& path) {
    if (ecudata::ImportParamFileEmula(path, ctx_.Images)) {
        edited_ = false;
    }
    AggiornaVariabiliEmulazioneLambda();
    AggiornaVariabiliTabellaEmulazioneLambda();
}

// --- Threshold boxes -------------------------------------------------------------

bool EmulaPage::LevelEvent(QLineEdit* box, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
        // A text that is no number keeps the value saved before.
        if (const auto value = support::LocaleNumber(box->text(), ctx_.DecimalSep)) {
            emulaLevEntryValue_ = *value;
        }
        break;
    case QEvent::FocusOut:
        box->setText(support::GeneralNumberText(emulaLevEntryValue_, ctx_.DecimalSep));
        PaintBox(*box, SysWindow, SysWindowText);
        break;
    case QEvent::KeyRelease: {
        const int caret = box->cursorPosition();
        const QString normal = NormaliseSeparator(box->text(), ctx_.DecimalSep);
        if (normal != box->text()) {
            box->setText(normal);
            box->setCursorPosition(caret);
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            StoreLevel(box);
        }
        break;
    }
    default:
        break;
    }
    return false;
}

void EmulaPage::StoreLevel(QLineEdit* box) {
    const LevelDef* def = LevelOf(box);
    if (!def) {
        return;
    }
    const int caret = box->cursorPosition();
    const std::optional<int> cv =
        ValidateLevelCentivolts(box->text(), LambdaIndex(), ctx_.DecimalSep);
    if (!cv) {
        support::MsgBox(ctx_.Texts.MsgEmula[1], support::vbCritical, window_.windowTitle());
        box->setText(support::GeneralNumberText(emulaLevEntryValue_, ctx_.DecimalSep));
        box->setCursorPosition(std::max(0, caret - 1));
        return;
    }
    const QString limited = CentivoltText(*cv, ctx_.DecimalSep);
    if (box->text() != limited) {
        box->setText(limited);
        box->setCursorPosition(std::max(0, caret - 1));
    }
    PaintBox(*box, SysWindow, SysWindowText);
    // The upper threshold of a pair never stands below the lower one.
    if (auto* partner = Find<QLineEdit>(def->partner)) {
        const double own = support::LocaleNumber(box->text(), ctx_.DecimalSep).value_or(0);
        const double other = support::LocaleNumber(partner->text(), ctx_.DecimalSep).value_or(0);
        if (def->upper ? other > own : other < own) {
            box->setText(partner->text());
        }
    }
    const int code = LevelCode(support::LocaleNumber(box->text(), ctx_.DecimalSep).value_or(0));
    EditBlock([def, code](EmulaBlk& block) { block[def->byte] = quint8(code); });
    {
        const Raised filling(window_.PageFilling);
        box->setText(VoltText(code, ctx_.DecimalSep));
        box->setCursorPosition(std::min(caret, int(box->text().size())));
    }
    emulaLevEntryValue_ = support::LocaleNumber(box->text(), ctx_.DecimalSep).value_or(0);
}

// --- Grids -----------------------------------------------------------------------

void EmulaPage::SelectEmulaCell(QTableWidget* grid) {
    if (emulaRepainting_) {
        return;
    }
    PaintCell(*grid, grid->currentRow(), grid->currentColumn(), Yellow, Black);
}

void EmulaPage::DeselectEmulaCell(QTableWidget* grid, bool leavingGrid) {
    if (emulaRepainting_) {
        return;
    }
    const Raised repainting(emulaRepainting_);
    if (grid->objectName() != "GrdEmul") {
        PaintCell(*grid, grid->currentRow(), grid->currentColumn(), support::ColorButtonFace,
                  SysButtonText);
        return;
    }
    for (int c = 0; c < grid->columnCount(); ++c) {
        for (int r = 0; r < grid->rowCount(); ++r) {
            PaintCell(*grid, r, c, SysHighlightText, SysWindowText);
        }
    }
    // Leaving the grid leaves its current cell on the last one, as the walk over the
    // cells did; coming back (by Tab) starts there.
    if (leavingGrid) {
        grid->setCurrentCell(TableRows - 1, TableCols - 1);
    }
}

void EmulaPage::StepAxisCell(QTableWidget* grid, bool up, bool shift) {
    const bool isBar = grid->objectName() == "GrdBar";
    const int row = grid->currentRow();
    const int col = grid->currentColumn();
    if (row < 0 || col < 0) {
        return;
    }
    const int index = isBar ? row : col;
    const int last = isBar ? TableRows - 1 : TableCols - 1;
    const auto valueAt = [grid, isBar](int i) {
        const QTableWidgetItem* item = isBar ? grid->item(i, 0) : grid->item(0, i);
        return item ? int(Nearest(item->text().toDouble())) : 0;
    };
    const int upper = index < last ? valueAt(index + 1) : (isBar ? 5000 : 6000);
    const int lower = index > 0 ? valueAt(index - 1) : 0;
    const int small = isBar ? 10 : 100;
    const int delta = (up ? 1 : -1) * (shift ? small * 10 : small);
    auto value = std::make_shared<int>(valueAt(index));
    hold_.Start(
        AxisPaceMs,
        [grid, row, col, value, delta, lower, upper] {
            *value = StepBreakpoint(*value, delta, lower, upper);
            Cell(*grid, row, col).setText(QString::number(*value));
        },
        [this, grid] { StoreAxis(grid); });
}

void EmulaPage::StoreAxis(QTableWidget* grid) {
    const bool isBar = grid->objectName() == "GrdBar";
    EditBlock([grid, isBar](EmulaBlk& block) {
        const int count = isBar ? TableRows : TableCols;
        for (int i = 0; i < count; ++i) {
            const QTableWidgetItem* item = isBar ? grid->item(i, 0) : grid->item(0, i);
            const int value = item ? int(Nearest(item->text().toDouble())) : 0;
            SetWord(block, isBar ? 24 + 2 * i : 2 * i, value);
        }
    });
}

void EmulaPage::StepGrdEmulBlock(bool up, bool shift) {
    auto* grid = Find<QTableWidget>("GrdEmul");
    if (!grid || grid->currentRow() < 0) {
        return;
    }
    int top = grid->currentRow(), bottom = top, left = grid->currentColumn(), right = left;
    for (const QTableWidgetSelectionRange& range : grid->selectedRanges()) {
        top = std::min(top, range.topRow());
        bottom = std::max(bottom, range.bottomRow());
        left = std::min(left, range.leftColumn());
        right = std::max(right, range.rightColumn());
    }
    hold_.Start(
        TablePaceMs,
        [this, grid, top, bottom, left, right, up, shift] {
            const CellMode mode = Mode();
            for (int r = top; r <= bottom; ++r) {
                for (int c = left; c <= right; ++c) {
                    QTableWidgetItem& item = Cell(*grid, r, c);
                    item.setText(StepTableCell(item.text(), up, shift, mode, ctx_.DecimalSep));
                }
            }
        },
        [this] {
            StoreTable();
            ctx_.Requests.EmulaWriteCountdown = 1;
        });
}

void EmulaPage::StoreTable() {
    auto* grid = Find<QTableWidget>("GrdEmul");
    if (!grid) {
        return;
    }
    const CellMode mode = Mode();
    EditBlock([&](EmulaBlk& block) {
        for (int c = 0; c < TableCols; ++c) {
            for (int r = 0; r < TableRows; ++r) {
                // A cell outside a byte keeps the byte as read.
                if (const auto byte = CellByte(Cell(*grid, r, c).text(), mode, ctx_.DecimalSep)) {
                    block[TableByte(r, c)] = quint8(*byte);
                }
            }
        }
    });
}

void EmulaPage::EnterOnGrdEmul() {
    auto* grid = Find<QTableWidget>("GrdEmul");
    if (!grid) {
        return;
    }
    double result = 0;
    int oper = OperCancelled;
    {
        const Raised filling(window_.PageFilling);
        ShowEnterValue(result, oper);
    }
    if (oper != OperCancelled) {
        const CellMode mode = Mode();
        int top = grid->currentRow(), bottom = top, left = grid->currentColumn(), right = left;
        for (const QTableWidgetSelectionRange& range : grid->selectedRanges()) {
            top = std::min(top, range.topRow());
            bottom = std::max(bottom, range.bottomRow());
            left = std::min(left, range.leftColumn());
            right = std::max(right, range.rightColumn());
        }
        for (int r = top; r <= bottom; ++r) {
            for (int c = left; c <= right; ++c) {
                QTableWidgetItem& item = Cell(*grid, r, c);
                item.setText(ApplyEnterValueCell(item.text(), result, oper, mode, ctx_.DecimalSep));
            }
        }
        StoreTable();
        ctx_.Requests.EmulaWriteCountdown = 1;
    } else {
        platform::Beep(600, 100);
    }
    grid->setFocus();
}

bool EmulaPage::GridEvent(QTableWidget* grid, QEvent* event) {
    const bool isEmul = grid->objectName() == "GrdEmul";
    switch (event->type()) {
    case QEvent::FocusIn:
        if (!window_.PageFilling) {
            SelectEmulaCell(grid);
        }
        break;
    case QEvent::FocusOut:
        if (!window_.PageFilling) {
            DeselectEmulaCell(grid, true);
        }
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const StepKey step = ClassifyStepKey(key->key(), key->modifiers());
        const bool handled = isEmul ? (step == KeyPadPlus || step == KeyPadMinus)
                                    : (step == KeyPadPlus || step == KeyPadMinus ||
                                       step == KeyMainPlus || step == KeyMainMinus);
        if (!handled) {
            break;
        }
        if (!key->isAutoRepeat() && !hold_.Active()) {
            const bool shift = ShiftAlone(key->modifiers());
            if (isEmul) {
                StepGrdEmulBlock(IsPlusKey(step), shift);
            } else {
                StepAxisCell(grid, IsPlusKey(step), shift);
            }
        }
        return true;
    }
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isEmul && !key->isAutoRepeat() &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            EnterOnGrdEmul();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return false;
}

bool EmulaPage::eventFilter(QObject* watched, QEvent* event) {
    if (auto* grid = qobject_cast<QTableWidget*>(watched)) {
        if (GridEvent(grid, event)) {
            return true;
        }
    } else if (auto* box = qobject_cast<QLineEdit*>(watched); box && LevelOf(box)) {
        LevelEvent(box, event);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace emulation
