#include "emulation/EmulaPage.h"

#include "app/FrmLX735.h"
#include "app/MainControls.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "ecudata/ParamFile.h"
#include "emulation/EmulaDesign.h"
#include "emulation/EmulaLayout.h"
#include "emulation/FrmEnterValueLambda.h"
#include "emulation/GridCells.h"
#include "monitor/MonitorHooks.h"
#include "ui/ControlBuilder.h"
#include "ui/ControlLook.h"
#include "ui/Controls.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QScopedValueRollback>
#include <QTableWidget>
#include <utility>

namespace emulation {

namespace {

// The threshold boxes, in the order of their bytes.
constexpr const char* LevelBoxes[] = {"TxtEmulLevAltoAnte", "TxtEmulLevBassoAnte",
                                      "TxtEmulLevAltoPost", "TxtEmulLevBassoPost"};

// The marker: a small filled square with a frame.
QPixmap MarkerPicture() {
    QPixmap picture(11, 11);
    picture.fill(Qt::red);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 10, 10);
    painter.end();
    return picture;
}

} // namespace

EmulaPage::EmulaPage(app::ProgramContext& context, app::FrmLX735& window)
    : ctx_(context), window_(window) {
    frame_ = &ui::Bind<QWidget>(window_, "FrmEmul");
    app::BuildOnMainWindow(*window_.centralWidget(), "EmulaPageDesign", EmulaPageDesign());
    BindControls();
    marker_->setPixmap(MarkerPicture());
    marker_->hide(); // until the working point places it
    ConnectSettings();
    ConnectEditors();
    ShowEnterValue = [this](double& result, int& oper) {
        FrmEnterValueLambda dialog(ctx_, &window_, Mode());
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

void EmulaPage::BindControls() {
    QWidget& root = window_;
    cmbSwtchLambda_ = &ui::Bind<QComboBox>(root, "CmbSwtchLambda");
    cmbAbilEmula_ = &ui::Bind<QComboBox>(root, "CmbAbilEmula");
    cmbSonda1_ = &ui::Bind<QComboBox>(root, "CmbSonda1");
    cmbSonda2_ = &ui::Bind<QComboBox>(root, "CmbSonda2");
    cmbRitardo_ = &ui::Bind<QComboBox>(root, "CmbRitardo");
    cmbFiltro_ = &ui::Bind<QComboBox>(root, "CmbFiltro");
    cmbSwtchLambdaBis_ = &ui::Bind<QComboBox>(root, "CmbSwtchLambdaBis");
    cmbSonda1Bis_ = &ui::Bind<QComboBox>(root, "CmbSonda1Bis");
    cmbSonda2Bis_ = &ui::Bind<QComboBox>(root, "CmbSonda2Bis");
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        levels_[i] = &ui::Bind<QLineEdit>(root, LevelBoxes[i]);
    }
    grdEmul_ = &ui::Bind<QTableWidget>(root, "GrdEmul");
    grdRpm_ = &ui::Bind<QTableWidget>(root, "GrdRpm");
    grdBar_ = &ui::Bind<QTableWidget>(root, "GrdBar");
    grdTitolo_ = &ui::Bind<QTableWidget>(root, "GrdTitolo");
    lblTabSoglie_ = &ui::Bind<QWidget>(root, "LblTabSoglie");
    marker_ = &ui::Bind<QLabel>(root, "PctGrdLambda");
    // The layout places these at every resize.
    layout_.emplace(root, "EmulaLayout", EmulaPageControls());
}

void EmulaPage::ConnectSettings() {
    const std::pair<QComboBox*, void (EmulaPage::*)()> handlers[] = {
        {cmbAbilEmula_, &EmulaPage::CmbAbilEmula_Click},
        {cmbSonda1_, &EmulaPage::CmbSonda1_Click},
        {cmbSonda2_, &EmulaPage::CmbSonda2_Click},
        {cmbFiltro_, &EmulaPage::CmbFiltro_Click},
        {cmbRitardo_, &EmulaPage::CmbRitardo_Click},
        {cmbSwtchLambda_, &EmulaPage::CmbSwtchLambda_Click},
    };
    for (const auto& [combo, handler] : handlers) {
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, handler] { (this->*handler)(); });
    }
    // The mirrors copy their index into the main combo and run its handler once.
    struct Mirror {
        QComboBox* bis;
        QComboBox* main;
        void (EmulaPage::*handler)();
    };
    const Mirror mirrors[] = {
        {cmbSonda1Bis_, cmbSonda1_, &EmulaPage::CmbSonda1_Click},
        {cmbSonda2Bis_, cmbSonda2_, &EmulaPage::CmbSonda2_Click},
        {cmbSwtchLambdaBis_, cmbSwtchLambda_, &EmulaPage::CmbSwtchLambda_Click},
    };
    for (const Mirror& m : mirrors) {
        connect(m.bis, &QComboBox::currentIndexChanged, this, [this, m] {
            if (window_.PageFilling) {
                return;
            }
            {
                const QSignalBlocker quiet(m.main);
                m.main->setCurrentIndex(m.bis->currentIndex());
            }
            (this->*m.handler)();
        });
    }
}

void EmulaPage::InitEmulaGrids() {
    struct GridDef {
        QTableWidget* grid;
        int rows, cols, colWidth, rowHeight;
        bool axis;
    };
    const GridDef defs[] = {{grdEmul_, TableRows, TableCols, 735, 330, false},
                            {grdRpm_, 1, TableCols, 735, 390, true},
                            {grdBar_, TableRows, 1, 1170, 330, true},
                            {grdTitolo_, 1, 1, 1170, 390, true}};
    for (const GridDef& def : defs) {
        QTableWidget& grid = *def.grid;
        grid.setRowCount(def.rows);
        grid.setColumnCount(def.cols);
        const QScopedValueRollback filling(window_.PageFilling, true);
        for (int r = 0; r < def.rows; ++r) {
            grid.setRowHeight(r, ui::ToPixels(def.rowHeight));
            for (int c = 0; c < def.cols; ++c) {
                grid.setColumnWidth(c, ui::ToPixels(def.colWidth));
                QTableWidgetItem& item = Cell(grid, r, c);
                if (def.axis) {
                    item.setBackground(support::ColorFromBgr(support::ColorButtonFace));
                }
            }
        }
        PrepareSteppedGrid(grid, def.axis ? QAbstractItemView::SingleSelection
                                          : QAbstractItemView::ContiguousSelection);
    }
    // Sizes and places from the design cells: the rpm grid over the table, the pressure
    // grid to its left, the corner above that.
    const int rpmWidth = 735 * TableCols + 30;
    const int rpmHeight = 390 + 30;
    const int emulHeight = 330 * TableRows + 30;
    const int barLeft = ui::LeftTwips(*lblTabSoglie_) + 30;
    const int rpmTop = ui::TopTwips(*lblTabSoglie_) + 330;
    ui::MoveTwips(*grdBar_, barLeft, rpmTop + rpmHeight, 1170 + 30, emulHeight);
    ui::MoveTwips(*grdEmul_, barLeft + ui::WidthTwips(*grdBar_), rpmTop + rpmHeight, rpmWidth,
                  emulHeight);
    ui::MoveTwips(*grdRpm_, ui::LeftTwips(*grdEmul_), rpmTop, rpmWidth, rpmHeight);
    ui::MoveTwips(*grdTitolo_, barLeft, rpmTop, ui::WidthTwips(*grdBar_), rpmHeight);
    // Shown as read so far: nothing, and disabled, until the blocks are read.
    AggiornaVariabiliEmulazioneLambda();
    AggiornaVariabiliTabellaEmulazioneLambda();
}

int EmulaPage::LambdaIndex() const {
    return cmbSwtchLambda_->currentIndex();
}

CellMode EmulaPage::Mode() const {
    return {grdEmul_->property("Tag").toString().toInt() == 1, LambdaIndex()};
}

EmulaBlk EmulaPage::ShownBlock() const {
    return ecudata::ShownEmula(ctx_.Images);
}

bool EmulaPage::Read(ecudata::EditBlock block) const {
    return ctx_.Images.Blocks.Read(block);
}

// The edit acts on the block as shown; what it changes becomes pending byte edits. A
// block not read yet takes none: its placeholders would go out as edits.
void EmulaPage::EditBlock(const std::function<void(EmulaBlk&)>& edit) {
    if (!Read(ecudata::EditBlock::Emula)) {
        return;
    }
    EmulaBlk block = ShownBlock();
    edit(block);
    ctx_.Images.EmulaEdit.SetWhole(block, ctx_.Images.EmulaBlkData);
    ctx_.Requests.EmulaWriteCountdown = 1;
}

void EmulaPage::ApplyTableEnable(const EmulaBlk& block) {
    const bool on = Read(ecudata::EditBlock::Emula) &&
                    TableEnabled(LambdaIndex(), cmbAbilEmula_->currentIndex(), block);
    for (QLineEdit* box : levels_) {
        box->setEnabled(on);
    }
    for (QTableWidget* grid : {grdBar_, grdRpm_, grdEmul_}) {
        grid->setEnabled(on);
    }
}

void EmulaPage::EnableSettings() {
    const bool typed = Read(ecudata::EditBlock::Emula) && LambdaIndex() != 0;
    for (QComboBox* combo : {cmbSonda1_, cmbSonda2_, cmbSonda1Bis_, cmbSonda2Bis_, cmbFiltro_}) {
        combo->setEnabled(typed);
    }
    cmbRitardo_->setEnabled(typed && cmbAbilEmula_->currentIndex() == 1);
}

void EmulaPage::CmbAbilEmula_Click() {
    if (window_.PageFilling || !Read(ecudata::EditBlock::Mem2)) {
        return;
    }
    const bool wanted = cmbAbilEmula_->currentIndex() == 1;
    const bool shown = (ecudata::ShownMem2(ctx_.Images).Flags & 0x02) != 0;
    if (wanted != shown) {
        ctx_.Images.Mem2Write.WantFlags(0x02, wanted);
        ctx_.Requests.Mem2WriteCountdown = 1.0;
    }
    EnableSettings();
    ApplyTableEnable(ShownBlock());
}

// A probe's type (0 to 2) goes into its byte of the block, beside the bits kept there.
void EmulaPage::ChooseProbeType(const QComboBox& combo, int byte, quint8 keptBits) {
    if (window_.PageFilling) {
        return;
    }
    const int index = combo.currentIndex();
    EditBlock([index, byte, keptBits](EmulaBlk& block) {
        if (index >= 0 && index <= 2) {
            block[byte] = quint8((block[byte] & keptBits) | index);
        }
    });
    ApplyTableEnable(ShownBlock());
}

void EmulaPage::CmbSonda1_Click() {
    ChooseProbeType(*cmbSonda1_, 86, 0x00);
}

void EmulaPage::CmbSonda2_Click() {
    ChooseProbeType(*cmbSonda2_, 87, 0xF0); // the high bits hold the filter
}

void EmulaPage::CmbFiltro_Click() {
    if (window_.PageFilling) {
        return;
    }
    const int index = cmbFiltro_->currentIndex();
    const int v = index >= 0 && index <= 15 ? index : 0;
    EditBlock([v](EmulaBlk& block) { block[87] = quint8((block[87] & 0x0F) | (v << 4)); });
}

void EmulaPage::CmbRitardo_Click() {
    if (window_.PageFilling) {
        return;
    }
    const std::optional<double> seconds = DelaySeconds(cmbRitardo_->currentText());
    if (!seconds) {
        return;
    }
    EditBlock([units = DelayUnits(*seconds)](EmulaBlk& block) { SetWord(block, 80, units); });
}

void EmulaPage::CmbSwtchLambda_Click() {
    // The type goes to zone 3 and resets the emulation block: both must have been read.
    if (window_.PageFilling || !TypeEditable()) {
        return;
    }
    QComboBox* combo = cmbSwtchLambda_;
    const int index = combo->currentIndex();
    const auto& table = ctx_.Tables.TblLambda;
    if (index < 0 || index >= int(table.size())) {
        // An item without its record: the type shown before comes back, nothing changes.
        // The combo takes an index set from inside its own change signal only afterwards.
        QMetaObject::invokeMethod(
            combo,
            [combo, shown = lambdaIndexShown_] {
                const QSignalBlocker quiet(combo);
                combo->setCurrentIndex(shown);
            },
            Qt::QueuedConnection);
        return;
    }
    const ecudata::LambdaRec& record = table[std::size_t(index)];
    lambdaIndexShown_ = index;
    {
        const QSignalBlocker quiet(cmbSwtchLambdaBis_);
        cmbSwtchLambdaBis_->setCurrentIndex(index);
    }
    ctx_.Images.Mem3Write.LambdaSwitch = record.Id;
    grdEmul_->setProperty(
        "Tag", ecudata::FindLambda(ctx_.Tables, record.Id) == OffsetModeIndex ? "1" : "0");
    EditBlock([&record](EmulaBlk& block) { ApplyLambdaDefaults(block, record); });
    ctx_.Requests.Mem3WriteCountdown = 1.0;
    AggiornaVariabiliEmulazioneLambda();
    AggiornaVariabiliTabellaEmulazioneLambda();
}

bool EmulaPage::TypeEditable() const {
    return Read(ecudata::EditBlock::Mem3) && Read(ecudata::EditBlock::Emula);
}

// A control of a block not read yet shows no value.
void EmulaPage::AggiornaVariabiliEmulazioneLambda() {
    const QScopedValueRollback filling(window_.PageFilling, true);
    const EmulaBlk block = ShownBlock();
    const bool emula = Read(ecudata::EditBlock::Emula);
    const bool mem2 = Read(ecudata::EditBlock::Mem2);
    const auto setIndex = [](QComboBox* combo, int index, bool read) {
        combo->setCurrentIndex(read && index < combo->count() ? index : -1);
    };
    const auto probe = [](int type) { return type <= 2 ? type : -1; };
    setIndex(cmbAbilEmula_, (ecudata::ShownMem2(ctx_.Images).Flags & 0x02) ? 1 : 0, mem2);
    setIndex(cmbSonda1_, probe(block[86]), emula);
    setIndex(cmbSonda2_, probe(block[87] & 0x0F), emula);
    setIndex(cmbSonda1Bis_, probe(block[86]), emula);
    setIndex(cmbSonda2Bis_, probe(block[87] & 0x0F), emula);
    setIndex(cmbFiltro_, block[87] >> 4, emula);
    QStringList delays;
    for (int i = 0; i < cmbRitardo_->count(); ++i) {
        delays << cmbRitardo_->itemText(i);
    }
    cmbRitardo_->setCurrentIndex(emula ? DelayIndex(delays, Word(block, 80)) : -1);
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        levels_[i]->setText(emula ? VoltText(block[FirstLevelByte + int(i)], ctx_.DecimalSep)
                                  : QString());
    }
    for (QComboBox* type : {cmbSwtchLambda_, cmbSwtchLambdaBis_}) {
        type->setEnabled(TypeEditable());
    }
    cmbAbilEmula_->setEnabled(mem2 && LambdaIndex() != 0);
    EnableSettings();
    ApplyTableEnable(block);
    lambdaIndexShown_ = LambdaIndex();
}

void EmulaPage::AggiornaVariabiliTabellaEmulazioneLambda() {
    const EmulaBlk block = ShownBlock();
    const bool read = Read(ecudata::EditBlock::Emula);
    const QScopedValueRollback repainting(emulaRepainting_, true);
    const auto number = [read](int value) { return read ? QString::number(value) : QString(); };
    for (int c = 0; c < TableCols; ++c) {
        Cell(*grdRpm_, 0, c).setText(number(Word(block, 2 * c)));
    }
    for (int r = 0; r < TableRows; ++r) {
        Cell(*grdBar_, r, 0).setText(number(Word(block, 24 + 2 * r)));
    }
    if (grdEmul_->property("Tag").toString().isEmpty()) {
        grdEmul_->setProperty("Tag", "1");
    }
    const CellMode mode = Mode();
    for (int c = 0; c < TableCols; ++c) {
        for (int r = 0; r < TableRows; ++r) {
            Cell(*grdEmul_, r, c)
                .setText(read ? CellText(block[TableByte(r, c)], mode, ctx_.DecimalSep)
                              : QString());
        }
    }
}

void EmulaPage::LayoutEmulaPage() {
    ui::SetBackColor(*frame_, support::ColorButtonFace);
    const ui::TwipsGeometry before = layout_->Read();
    ui::TwipsGeometry page = before;
    QWidget& tabs = window_.SstMain();
    emulation::LayoutEmulaPage(page, float(ui::WidthTwips(tabs)), float(ui::HeightTwips(tabs)),
                               float(ui::ToTwips(window_.frameGeometry().width())),
                               float(ui::ToTwips(window_.frameGeometry().height())));
    layout_->Write(before, page);
    const EmulaGridCells cells = EmulaGridCellsOf(page);
    const int row = ui::ToPixels(int(cells.RowHeight));
    for (QTableWidget* grid : {grdTitolo_, grdRpm_, grdBar_, grdEmul_}) {
        const bool press = grid->columnCount() == 1;
        for (int c = 0; c < grid->columnCount(); ++c) {
            grid->setColumnWidth(c, ui::ToPixels(int(press ? cells.PressColumn : cells.RpmColumn)));
        }
        for (int r = 0; r < grid->rowCount(); ++r) {
            grid->setRowHeight(r, row);
        }
    }
    marker_->raise();
}

void EmulaPage::MoveEmulaMarker() {
    if (ctx_.Comm().LiveStale()) {
        marker_->hide(); // no working point is current
        return;
    }
    if (Cell(*grdRpm_, 0, 0).text().isEmpty()) {
        return;
    }
    std::array<int, TableCols> rpmBreaks{};
    std::array<int, TableRows> pressBreaks{};
    for (int c = 0; c < TableCols; ++c) {
        rpmBreaks[c] = Cell(*grdRpm_, 0, c).text().toInt();
    }
    for (int r = 0; r < TableRows; ++r) {
        pressBreaks[r] = Cell(*grdBar_, r, 0).text().toInt();
    }
    const ecudata::Mem1Rec& live = ctx_.Images.Mem1Data;
    const MarkerCell cell = EmulaMarkerCell(rpmBreaks, pressBreaks, live.Rpm, live.Press2);
    const int left =
        ui::LeftTwips(*grdEmul_) + ui::ToTwips(grdEmul_->columnWidth(0)) * (cell.col - 1) + 15;
    const int top =
        ui::TopTwips(*grdEmul_) + ui::ToTwips(grdEmul_->rowHeight(0)) * (cell.row - 1) + 15;
    ui::MoveTwips(*marker_, left, top, 165, 165);
    marker_->show();
    marker_->raise();
}

void EmulaPage::LoadEmulaFromParFile(const QString& path) {
    ecudata::ImportParamFileEmula(path, ctx_.Images);
    AggiornaVariabiliEmulazioneLambda();
    AggiornaVariabiliTabellaEmulazioneLambda();
}

} // namespace emulation
