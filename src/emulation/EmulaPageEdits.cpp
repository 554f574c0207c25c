// The Lambda page's editors: the threshold boxes (a value stored on Enter, dropped on
// leaving the box) and the grids (the axes and the table stepped by the plus and minus
// keys while held, the table's block set through the value-entry dialog on Enter).

#include "app/FrmLX735.h"
#include "app/ProgramContext.h"
#include "emulation/EmulaPage.h"
#include "emulation/GridCells.h"
#include "emulation/StepKeys.h"
#include "platform/Sound.h"
#include "support/Conversions.h"
#include "support/MessageBox.h"
#include "ui/ControlLook.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTableWidget>
#include <algorithm>
#include <memory>

namespace emulation {

namespace {

constexpr int AxisPaceMs = 250;
constexpr int TablePaceMs = 150;

void PaintBox(QLineEdit& box, quint32 back, quint32 fore) {
    ui::SetBackColor(box, back);
    ui::SetForeColor(box, fore);
}

// The cells the keys and the value entry act on: the current cell and the selected
// blocks, as one block around them.
QTableWidgetSelectionRange ActedBlock(const QTableWidget& grid) {
    int top = grid.currentRow(), bottom = top, left = grid.currentColumn(), right = left;
    for (const QTableWidgetSelectionRange& range : grid.selectedRanges()) {
        top = std::min(top, range.topRow());
        bottom = std::max(bottom, range.bottomRow());
        left = std::min(left, range.leftColumn());
        right = std::max(right, range.rightColumn());
    }
    return {top, left, bottom, right};
}

// Each cell of the block gets the text made from its own.
void RewriteBlock(QTableWidget& grid, const QTableWidgetSelectionRange& block,
                  const std::function<QString(const QString&)>& text) {
    for (int r = block.topRow(); r <= block.bottomRow(); ++r) {
        for (int c = block.leftColumn(); c <= block.rightColumn(); ++c) {
            QTableWidgetItem& item = Cell(grid, r, c);
            item.setText(text(item.text()));
        }
    }
}

} // namespace

void EmulaPage::ConnectEditors() {
    for (QLineEdit* box : levels_) {
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this, box] {
            if (!window_.PageFilling) {
                PaintBox(*box, Yellow, Black);
            }
        });
    }
    for (QTableWidget* grid : {grdBar_, grdRpm_, grdEmul_}) {
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        hold_.Watch(*grid);
        grid->installEventFilter(this);
        connect(grid, &QTableWidget::currentCellChanged, this,
                [this, grid](int, int, int oldRow, int oldCol) {
                    if (window_.PageFilling || emulaRepainting_) {
                        return;
                    }
                    if (grid == grdEmul_) {
                        DeselectEmulaCell(*grid, false);
                    } else {
                        PaintCell(*grid, oldRow, oldCol, support::ColorButtonFace,
                                  support::ColorButtonText);
                    }
                    SelectEmulaCell(*grid);
                });
    }
}

bool EmulaPage::eventFilter(QObject* watched, QEvent* event) {
    if (auto* grid = qobject_cast<QTableWidget*>(watched)) {
        if (GridEvent(*grid, event)) {
            return true;
        }
    } else if (const int level = LevelOf(watched); level >= 0) {
        LevelEvent(level, event);
    }
    return QObject::eventFilter(watched, event);
}

// --- Threshold boxes -------------------------------------------------------------

int EmulaPage::LevelOf(const QObject* box) const {
    const auto it = std::find(levels_.begin(), levels_.end(), box);
    return it == levels_.end() ? -1 : int(it - levels_.begin());
}

void EmulaPage::LevelEvent(int level, QEvent* event) {
    QLineEdit& box = *levels_[std::size_t(level)];
    switch (event->type()) {
    case QEvent::FocusIn:
        // A text that is no number keeps the value saved before.
        if (const auto value = support::LocaleNumber(box.text(), ctx_.DecimalSep)) {
            emulaLevEntryValue_ = *value;
        }
        break;
    case QEvent::FocusOut:
        box.setText(support::GeneralNumberText(emulaLevEntryValue_, ctx_.DecimalSep));
        PaintBox(box, support::ColorWindow, support::ColorWindowText);
        break;
    case QEvent::KeyRelease: {
        const int caret = box.cursorPosition();
        const QString normal = NormaliseSeparator(box.text(), ctx_.DecimalSep);
        if (normal != box.text()) {
            box.setText(normal);
            box.setCursorPosition(caret);
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            StoreLevel(level);
        }
        break;
    }
    default:
        break;
    }
}

// The boxes go in pairs, the upper threshold first: Ante (0, 1), Post (2, 3).
void EmulaPage::StoreLevel(int level) {
    QLineEdit& box = *levels_[std::size_t(level)];
    const QLineEdit& partner = *levels_[std::size_t(level ^ 1)];
    const bool upper = level % 2 == 0;
    const int caret = box.cursorPosition();
    const std::optional<int> cv =
        ValidateLevelCentivolts(box.text(), LambdaIndex(), ctx_.DecimalSep);
    if (!cv) {
        support::MsgBox(ctx_.Texts.MsgEmula[1], support::vbCritical, window_.windowTitle());
        box.setText(support::GeneralNumberText(emulaLevEntryValue_, ctx_.DecimalSep));
        box.setCursorPosition(std::max(0, caret - 1));
        return;
    }
    const QString limited = CentivoltText(*cv, ctx_.DecimalSep);
    if (box.text() != limited) {
        box.setText(limited);
        box.setCursorPosition(std::max(0, caret - 1));
    }
    PaintBox(box, support::ColorWindow, support::ColorWindowText);
    // The upper threshold of a pair never stands below the lower one.
    const double own = support::LocaleNumber(box.text(), ctx_.DecimalSep).value_or(0);
    const double other = support::LocaleNumber(partner.text(), ctx_.DecimalSep).value_or(0);
    if (upper ? other > own : other < own) {
        box.setText(partner.text());
    }
    const int code = LevelCode(support::LocaleNumber(box.text(), ctx_.DecimalSep).value_or(0));
    const int byte = FirstLevelByte + level;
    EditBlock([byte, code](EmulaBlk& block) { block[byte] = quint8(code); });
    {
        const QScopedValueRollback filling(window_.PageFilling, true);
        box.setText(VoltText(code, ctx_.DecimalSep));
        box.setCursorPosition(std::min(caret, int(box.text().size())));
    }
    emulaLevEntryValue_ = support::LocaleNumber(box.text(), ctx_.DecimalSep).value_or(0);
}

// --- Grids -----------------------------------------------------------------------

void EmulaPage::SelectEmulaCell(QTableWidget& grid) {
    if (emulaRepainting_) {
        return;
    }
    PaintCell(grid, grid.currentRow(), grid.currentColumn(), Yellow, Black);
}

void EmulaPage::DeselectEmulaCell(QTableWidget& grid, bool leavingGrid) {
    if (emulaRepainting_) {
        return;
    }
    const QScopedValueRollback repainting(emulaRepainting_, true);
    if (&grid != grdEmul_) {
        PaintCell(grid, grid.currentRow(), grid.currentColumn(), support::ColorButtonFace,
                  support::ColorButtonText);
        return;
    }
    for (int c = 0; c < grid.columnCount(); ++c) {
        for (int r = 0; r < grid.rowCount(); ++r) {
            PaintCell(grid, r, c, support::ColorHighlightText, support::ColorWindowText);
        }
    }
    // Leaving the grid leaves its current cell on the last one, as the walk over the
    // cells did; coming back (by Tab) starts there.
    if (leavingGrid) {
        grid.setCurrentCell(TableRows - 1, TableCols - 1);
    }
}

void EmulaPage::StepAxisCell(QTableWidget& grid, bool up, bool shift) {
    const bool isBar = &grid == grdBar_;
    const int row = grid.currentRow();
    const int col = grid.currentColumn();
    if (row < 0 || col < 0) {
        return;
    }
    const int index = isBar ? row : col;
    const int last = isBar ? TableRows - 1 : TableCols - 1;
    const auto valueAt = [&grid, isBar](int i) {
        const QTableWidgetItem* item = isBar ? grid.item(i, 0) : grid.item(0, i);
        return item ? int(Nearest(item->text().toDouble())) : 0;
    };
    const int upper = index < last ? valueAt(index + 1) : (isBar ? 5000 : 6000);
    const int lower = index > 0 ? valueAt(index - 1) : 0;
    const int small = isBar ? 10 : 100;
    const int delta = (up ? 1 : -1) * (shift ? small * 10 : small);
    auto value = std::make_shared<int>(valueAt(index));
    QTableWidget* stepped = &grid;
    hold_.Start(
        AxisPaceMs,
        [stepped, row, col, value, delta, lower, upper] {
            *value = StepBreakpoint(*value, delta, lower, upper);
            Cell(*stepped, row, col).setText(QString::number(*value));
        },
        [this, stepped] { StoreAxis(*stepped); });
}

void EmulaPage::StoreAxis(QTableWidget& grid) {
    const bool isBar = &grid == grdBar_;
    EditBlock([&grid, isBar](EmulaBlk& block) {
        const int count = isBar ? TableRows : TableCols;
        for (int i = 0; i < count; ++i) {
            const QTableWidgetItem* item = isBar ? grid.item(i, 0) : grid.item(0, i);
            const int value = item ? int(Nearest(item->text().toDouble())) : 0;
            SetWord(block, isBar ? 24 + 2 * i : 2 * i, value);
        }
    });
}

void EmulaPage::StepGrdEmulBlock(bool up, bool shift) {
    if (grdEmul_->currentRow() < 0) {
        return;
    }
    const QTableWidgetSelectionRange block = ActedBlock(*grdEmul_);
    hold_.Start(
        TablePaceMs,
        [this, block, up, shift] {
            const CellMode mode = Mode();
            RewriteBlock(*grdEmul_, block, [&](const QString& text) {
                return StepTableCell(text, up, shift, mode, ctx_.DecimalSep);
            });
        },
        [this] {
            StoreTable();
            ctx_.Requests.EmulaWriteCountdown = 1;
        });
}

void EmulaPage::StoreTable() {
    const CellMode mode = Mode();
    EditBlock([&](EmulaBlk& block) {
        for (int c = 0; c < TableCols; ++c) {
            for (int r = 0; r < TableRows; ++r) {
                // A cell outside a byte keeps the byte as read.
                if (const auto byte =
                        CellByte(Cell(*grdEmul_, r, c).text(), mode, ctx_.DecimalSep)) {
                    block[TableByte(r, c)] = quint8(*byte);
                }
            }
        }
    });
}

void EmulaPage::EnterOnGrdEmul() {
    double result = 0;
    int oper = OperCancelled;
    {
        const QScopedValueRollback filling(window_.PageFilling, true);
        ShowEnterValue(result, oper);
    }
    if (oper != OperCancelled) {
        const CellMode mode = Mode();
        RewriteBlock(*grdEmul_, ActedBlock(*grdEmul_), [&](const QString& text) {
            return ApplyEnterValueCell(text, result, oper, mode, ctx_.DecimalSep);
        });
        StoreTable();
        ctx_.Requests.EmulaWriteCountdown = 1;
    } else {
        platform::Beep(600, 100);
    }
    grdEmul_->setFocus();
}

bool EmulaPage::GridEvent(QTableWidget& grid, QEvent* event) {
    const bool isEmul = &grid == grdEmul_;
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

} // namespace emulation
