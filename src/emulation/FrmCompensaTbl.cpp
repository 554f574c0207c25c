#include "emulation/FrmCompensaTbl.h"

#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "emulation/CompMath.h"
#include "emulation/EmulaDesign.h"
#include "emulation/GridCells.h"
#include "emulation/StepKeys.h"
#include "support/Colors.h"
#include "support/Conversions.h"
#include "support/Cursor.h"
#include "support/Lingue.h"
#include "ui/ControlBuilder.h"
#include "ui/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <memory>

namespace emulation {

namespace {

using support::ColorFromBgr;

constexpr int PaceMs = 150;
constexpr int MarkerMs = 200;
constexpr int Columns = CompPoints + 1;

// The tables' controls (see CompensaTblDesign), in the order of the tables' ids 1..4.
struct TableDef {
    const char* frame;
    const char* check;
    const char* grid;
    const char* marker;
    const char* unit;
    CompEditor axis;
};
constexpr TableDef Tables[] = {
    {"FrmGrdTemp", "ChkGrdTemp", "GrdTemp", "PctGrdTemp", "\u00b0C", TempEditor},
    {"FrmGrdTempRid", "ChkGrdTempRid", "GrdTempRid", "PctGrdTempRid", "\u00b0C", TempEditor},
    {"FrmGrdPres", "ChkGrdPres", "GrdPres", "PctGrdPres", "mBar", PressEditor},
    {"FrmSmagAcc", "ChkSmagAcc", "GrdSmag", "PctGrdSmag", "ms", SmagTimeEditor},
};
constexpr int Smag = 3; // the leaning table's index

// Fixed cells take no selection and no current cell.
void SetFixed(QTableWidgetItem& item, bool fixed) {
    item.setFlags(fixed ? Qt::NoItemFlags : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item.setForeground(ColorFromBgr(Black));
    item.setBackground(ColorFromBgr(fixed ? support::ColorButtonFace : support::ColorWindow));
}

// The marker: a small red triangle pointing down at the axis.
QPixmap MarkerPicture() {
    QPixmap picture(11, 11);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::red);
    painter.drawPolygon(QPolygon({{0, 0}, {10, 0}, {5, 10}}));
    painter.end();
    return picture;
}

std::optional<double> Number(const QTableWidget& grid, int row, int col, const QString& sep) {
    const QTableWidgetItem* item = grid.item(row, col);
    return item ? support::LocaleNumber(item->text(), sep) : std::nullopt;
}

} // namespace

FrmCompensaTbl::FrmCompensaTbl(app::ProgramContext& context, app::FrmLX735& owner)
    : QWidget(&owner, Qt::Window), ctx_(context) {
    setObjectName("FrmCompensaTbl");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Compensa");
    setFixedSize(ui::ToPixels(10230), ui::ToPixels(8070));
    MakeControls();
    // Load: placed by the main window, captions, the grids' fixed texts, the tables.
    move(owner.pos() + QPoint(ui::ToPixels(60), ui::ToPixels(60)));
    LoadCompCaptions();
    selRow_ = selCol_ = -1;
    for (Table& t : tables_) {
        t.marker->move(t.marker->x(), t.grid->y() + ui::ToPixels(15));
    }
    SetCaption();
    ShowCompTables();
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    timer1_.start(MarkerMs);
}

void FrmCompensaTbl::MakeControls() {
    ui::ControlBuilder builder(*this);
    builder.Build(CompensaTblDesign());
    const QPixmap markerPicture = MarkerPicture();
    for (int t = 0; t < 4; ++t) {
        const TableDef& def = Tables[t];
        Table& table = tables_[t];
        table.frame = &ui::Bind<QGroupBox>(*this, def.frame);
        table.check = &ui::Bind<QCheckBox>(*this, def.check);
        table.grid = &ui::Bind<QTableWidget>(*this, def.grid);
        table.marker = &ui::Bind<QLabel>(*this, def.marker);
        table.marker->setPixmap(markerPicture);
        table.frame->installEventFilter(this);
        PrepareGrid(t);
        hold_.Watch(*table.grid);
        table.grid->installEventFilter(this);
        connect(table.grid, &QTableWidget::currentCellChanged, this,
                [this, t](int, int, int oldRow, int oldCol) {
                    DeselectCompCell(t, oldRow, oldCol);
                    SelectCompCell(t);
                });
        connect(table.check, &QCheckBox::toggled, this, [this, t](bool on) {
            if (loadingTables_) {
                return;
            }
            EditTable(t, [t, on](ecudata::CompTbl& table) {
                table[30] = on ? 1 : 0;
                if (t != Smag) {
                    table[31] = table[30];
                }
            });
            Arm(t + 1);
        });
    }
    cmdModScala_ = &ui::Bind<QPushButton>(*this, "CmdModScala");
    cmdTInj_ = &ui::Bind<QPushButton>(*this, "CmdAutoMinMaxSmagTInj");
    cmdPerc_ = &ui::Bind<QPushButton>(*this, "CmdAutoMinMaxSmagPerc");
    cmbSmagAcc_ = &ui::Bind<QComboBox>(*this, "CmbSmagAcc");
    lblHelp_ = &ui::Bind<QLabel>(*this, "LblHelp");
    connect(cmdModScala_, &QPushButton::clicked, this, [this] { CmdModScala_Click(); });
    connect(cmdTInj_, &QPushButton::clicked, this, [this] { CmdAutoMinMaxSmagTInj_Click(); });
    connect(cmdPerc_, &QPushButton::clicked, this, [this] { CmdAutoMinMaxSmagPerc_Click(); });
    for (int i = 1; i <= 32; ++i) {
        cmbSmagAcc_->addItem(QString::number(i));
    }
    connect(cmbSmagAcc_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (loadingTables_ || index < 0) {
            return;
        }
        const int steps = cmbSmagAcc_->itemText(index).toInt();
        EditTable(Smag, [steps](ecudata::CompTbl& table) { table[31] = steps; });
        Arm(Smag + 1);
    });
}

// Two rows, the axis over the percent row, with their units in a fixed first column;
// the axis row locked.
void FrmCompensaTbl::PrepareGrid(int table) {
    QTableWidget& grid = *tables_[table].grid;
    grid.setRowCount(2);
    grid.setColumnCount(Columns);
    grid.setEditTriggers(QAbstractItemView::NoEditTriggers);
    PrepareSteppedGrid(grid, QAbstractItemView::SingleSelection);
    grid.setColumnWidth(0, ui::ToPixels(840));
    for (int c = 1; c < Columns; ++c) {
        grid.setColumnWidth(c, ui::ToPixels(585));
    }
    for (int r = 0; r < 2; ++r) {
        grid.setRowHeight(r, ui::ToPixels(435));
        for (int c = 0; c < Columns; ++c) {
            Cell(grid, r, c).setText(c == 0 ? (r == 0 ? QString(Tables[table].unit) : "%") : "0");
            SetFixed(Cell(grid, r, c), c == 0);
        }
    }
    SetAxisLocked(grid, true);
}

void FrmCompensaTbl::LoadCompCaptions() {
    const QStringList own = support::SectionTexts(ctx_.ObjLingue, "[FrmCompensaTbl]", 5);
    const QStringList added = support::SectionTexts(ctx_.ObjLingue, "[New_Functions]", 7);
    for (int t = 0; t < 3; ++t) {
        tables_[t].frame->setTitle(own.value(t));
    }
    lblHelp_->setText(own.value(3));
    for (Table& t : tables_) {
        t.check->setText(own.value(4));
        // A click beside its caption would miss the box.
        t.check->adjustSize();
    }
    tables_[Smag].frame->setTitle(added.value(3));
    cmdModScala_->setText(added.value(4));
    cmdTInj_->setText(added.value(5));
    cmdPerc_->setText(added.value(6));
}

bool FrmCompensaTbl::AxisLocked(const QTableWidget& grid) {
    return grid.property("FixedRows").toInt() == 1;
}

void FrmCompensaTbl::SetAxisLocked(QTableWidget& grid, bool locked) {
    grid.setProperty("FixedRows", locked ? 1 : 0);
    for (int c = 1; c < grid.columnCount(); ++c) {
        SetFixed(Cell(grid, 0, c), locked);
    }
    if (locked && grid.currentRow() == 0) {
        grid.setCurrentCell(1, grid.currentColumn());
    }
}

QString FrmCompensaTbl::AxisText(int table, qint32 value) const {
    return table == Smag ? SmagMsText(value, ctx_.DecimalSep) : QString::number(value);
}

qint32 FrmCompensaTbl::WholeNumber(const QString& text) const {
    return qint32(support::RoundHalfEven(support::LocaleNumber(text, ctx_.DecimalSep).value_or(0)));
}

qint32 FrmCompensaTbl::AxisValue(int table, const QString& text) const {
    return table == Smag ? SmagUnits(text, ctx_.DecimalSep) : WholeNumber(text);
}

// Each table as shown (read with its pending edits); a table not read yet shows no value
// and cannot be edited.
void FrmCompensaTbl::ShowCompTables() {
    const support::CursorOverride hourglass(Qt::WaitCursor);
    const ecudata::EcuImages& images = ctx_.Images;
    shownReads_ = images.CompTblReads;
    loadingTables_ = true;
    for (int t = 0; t < 4; ++t) {
        const bool read = images.Blocks.Read(ecudata::CompBlock(t + 1));
        const ecudata::CompTbl shown = ecudata::ShownCompTable(images, t + 1);
        for (int c = 1; c <= CompPoints; ++c) {
            Cell(*tables_[t].grid, 0, c)
                .setText(read ? AxisText(t, shown[2 * (c - 1)]) : QString());
            Cell(*tables_[t].grid, 1, c)
                .setText(read ? QString::number(shown[2 * (c - 1) + 1]) : QString());
        }
        tables_[t].check->setChecked(read && shown[30] != 0);
        tables_[t].grid->setEnabled(read);
        tables_[t].check->setEnabled(read);
    }
    const bool smagRead = images.Blocks.Read(ecudata::CompBlock(Smag + 1));
    cmbSmagAcc_->setCurrentIndex(smagRead ? cmbSmagAcc_->findText(QString::number(
                                                ecudata::ShownCompTable(images, Smag + 1)[31]))
                                          : -1);
    for (QWidget* control : {static_cast<QWidget*>(cmbSmagAcc_), static_cast<QWidget*>(cmdTInj_),
                             static_cast<QWidget*>(cmdPerc_)}) {
        control->setEnabled(smagRead);
    }
    loadingTables_ = false;
}

void FrmCompensaTbl::EditTable(int table, const std::function<void(ecudata::CompTbl&)>& edit) {
    ecudata::EcuImages& images = ctx_.Images;
    ecudata::CompTbl shown = ecudata::ShownCompTable(images, table + 1);
    edit(shown);
    images.CompEdit[std::size_t(table)].SetWhole(shown, ecudata::CompTable(images, table + 1));
}

// What the grids show becomes the edits of the tables read; a cell that shows what the
// table holds stays untouched.
void FrmCompensaTbl::StoreCompGrids() {
    for (int t = 0; t < 4; ++t) {
        if (!ctx_.Images.Blocks.Read(ecudata::CompBlock(t + 1))) {
            continue;
        }
        QTableWidget& grid = *tables_[t].grid;
        EditTable(t, [&](ecudata::CompTbl& image) {
            for (int c = 1; c <= CompPoints; ++c) {
                image[2 * (c - 1)] = AxisValue(t, Cell(grid, 0, c).text());
                image[2 * (c - 1) + 1] = WholeNumber(Cell(grid, 1, c).text());
            }
            image[30] = tables_[t].check->isChecked() ? 1 : 0;
            if (t != Smag) {
                image[31] = image[30];
            } else if (cmbSmagAcc_->currentIndex() >= 0) {
                image[31] = qint16(cmbSmagAcc_->currentText().toInt());
            }
        });
    }
}

// One table id names the pending write: a change to another table while one waits (or
// is retried after a refusal) widens it to all four, so no change is left unwritten.
void FrmCompensaTbl::Arm(int table) {
    ecudata::EcuRequests& r = ctx_.Requests;
    if (r.CompWriteCountdown == 0) {
        r.CompWriteTable = table;
    } else if (r.CompWriteTable != table) {
        r.CompWriteTable = 0;
    }
    r.CompWriteCountdown = 6;
}

int FrmCompensaTbl::TableOf(const QObject* control) const {
    for (int t = 0; t < 4; ++t) {
        if (control == tables_[t].grid || control == tables_[t].frame) {
            return t;
        }
    }
    return -1;
}

void FrmCompensaTbl::SetCaption() {
    QString caption = ctx_.Texts.AppTitle + " - " + app::ReleaseText;
    if (selRow_ >= 0) {
        caption += QStringLiteral("  [%1,%2]").arg(selRow_).arg(selCol_);
    }
    setWindowTitle(caption);
}

void FrmCompensaTbl::SelectCompCell(int table) {
    QTableWidget& grid = *tables_[table].grid;
    const int row = grid.currentRow();
    const int col = grid.currentColumn();
    if (row < 0 || col < 0) {
        return;
    }
    if (row == 1) {
        PaintCell(grid, row, col, Yellow, Black);
    }
    selRow_ = row;
    selCol_ = col;
    SetCaption();
}

void FrmCompensaTbl::DeselectCompCell(int table, int row, int col) {
    if (row == 1 && col > 0) {
        PaintCell(*tables_[table].grid, row, col, support::ColorWindow, Black);
    }
    selRow_ = selCol_ = -1;
}

void FrmCompensaTbl::StepCell(int table, bool plus, bool shift) {
    QTableWidget* grid = tables_[table].grid;
    const int row = grid->currentRow();
    const int col = grid->currentColumn();
    if (row < 0 || col < 1) {
        return;
    }
    // The percent row and the axis rows other than the leaning one hold plain numbers.
    const bool axis = row == 0;
    const CompEditor editor = axis ? Tables[table].axis : PercentEditor;
    const bool inMs = axis && table == Smag;
    const QString text = Cell(*grid, row, col).text();
    auto value = std::make_shared<int>(inMs ? SmagUnits(text, ctx_.DecimalSep) : WholeNumber(text));
    hold_.Start(
        PaceMs,
        [this, grid, row, col, value, plus, shift, editor, inMs] {
            *value = StepComp(*value, plus, shift, editor);
            Cell(*grid, row, col)
                .setText(inMs ? SmagMsText(*value, ctx_.DecimalSep) : QString::number(*value));
        },
        [this, table] {
            StoreCompGrids();
            Arm(table + 1);
        });
}

void FrmCompensaTbl::Timer1_Timer() {
    // A read of the tables (or a file's) is shown at once, though not under a held key.
    if (shownReads_ != ctx_.Images.CompTblReads && !hold_.Active()) {
        ShowCompTables();
    }
    const ecudata::Mem1Rec& live = ctx_.Images.Mem1Data;
    const double values[3] = {live.Temp1, live.Temp, live.PressGas};
    for (int t = 0; t < 3; ++t) {
        std::array<std::optional<double>, CompPoints> axis;
        for (int c = 1; c <= CompPoints; ++c) {
            axis[c - 1] = Number(*tables_[t].grid, 0, c, ctx_.DecimalSep);
        }
        const int column = AxisMarkerColumn(axis, values[t]);
        ui::SetLeftTwips(*tables_[t].marker,
                         AxisMarkerLeft(ui::LeftTwips(*tables_[t].grid), column));
    }
    ui::SetLeftTwips(*tables_[Smag].marker,
                     LeanMarkerLeft(ui::LeftTwips(*tables_[Smag].grid), live.StatusKeyHigh));
    for (Table& t : tables_) {
        t.marker->raise();
    }
}

void FrmCompensaTbl::CmdAutoMinMaxSmagPerc_Click() {
    QTableWidget& grid = *tables_[Smag].grid;
    std::array<int, CompPoints> row{};
    for (int c = 1; c <= CompPoints; ++c) {
        row[c - 1] = WholeNumber(Cell(grid, 1, c).text());
    }
    const std::array<int, CompPoints> filled = PercentFill(row);
    for (int c = 2; c <= 14; ++c) {
        Cell(grid, 1, c).setText(QString::number(filled[c - 1]));
    }
    StoreCompGrids();
    Arm(Smag + 1);
}

void FrmCompensaTbl::CmdAutoMinMaxSmagTInj_Click() {
    QTableWidget& grid = *tables_[Smag].grid;
    std::array<double, CompPoints> row{};
    for (int c = 1; c <= CompPoints; ++c) {
        row[c - 1] = Number(grid, 0, c, ctx_.DecimalSep).value_or(0.0);
    }
    const std::array<double, CompPoints> filled = TimeFill(row);
    for (int c = 2; c <= 14; ++c) {
        Cell(grid, 0, c).setText(support::GeneralNumberText(filled[c - 1], ctx_.DecimalSep));
    }
    StoreCompGrids();
    Arm(Smag + 1);
}

void FrmCompensaTbl::CmdModScala_Click() {
    QTableWidget& grid = *tables_[Smag].grid;
    const bool lock = !AxisLocked(grid);
    SetAxisLocked(grid, lock);
    cmdModScala_->setText(lock ? "Modifica Scala" : "Blocca Scala");
}

void FrmCompensaTbl::ToggleCompGridFlag(int table, Qt::MouseButton button,
                                        Qt::KeyboardModifiers shift) {
    if (button == Qt::RightButton && shift == Qt::ShiftModifier) {
        QTableWidget& grid = *tables_[table].grid;
        SetAxisLocked(grid, !AxisLocked(grid));
    }
}

bool FrmCompensaTbl::eventFilter(QObject* watched, QEvent* event) {
    const int table = TableOf(watched);
    if (table < 0) {
        return QWidget::eventFilter(watched, event);
    }
    if (watched == tables_[table].frame) {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            ToggleCompGridFlag(table, mouse->button(), mouse->modifiers());
        }
        return QWidget::eventFilter(watched, event);
    }
    QTableWidget& grid = *tables_[table].grid;
    switch (event->type()) {
    case QEvent::FocusIn:
        SelectCompCell(table);
        break;
    case QEvent::FocusOut:
        DeselectCompCell(table, grid.currentRow(), grid.currentColumn());
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const StepKey step = ClassifyStepKey(key->key(), key->modifiers());
        if (step == KeyNone) {
            break;
        }
        if (!key->isAutoRepeat() && !hold_.Active()) {
            StepCell(table, IsPlusKey(step), ShiftAlone(key->modifiers()));
        }
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool FrmCompensaTbl::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !hold_.Active()) {
        ShowCompTables();
    }
    return QWidget::event(event);
}

void ConnectCmdTableComp(app::ProgramContext& context, app::FrmLX735& window) {
    QPushButton* button = &ui::Bind<QPushButton>(window, "CmdTableComp");
    auto open = std::make_shared<QPointer<FrmCompensaTbl>>();
    QObject::connect(button, &QPushButton::clicked, &window, [&context, &window, open] {
        if (!*open) {
            *open = new FrmCompensaTbl(context, window);
        }
        (*open)->show();
        (*open)->raise();
        (*open)->activateWindow();
    });
}

} // namespace emulation
