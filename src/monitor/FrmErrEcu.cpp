#include "monitor/FrmErrEcu.h"

#include "app/ProgramContext.h"
#include "ecudata/EcuErrorTexts.h"
#include "ecudata/ZoneExchange.h"
#include "link/Frames.h"
#include "monitor/DialogDesigns.h"
#include "support/Lingue.h"
#include "ui/ControlBuilder.h"
#include "ui/ControlLook.h"
#include "ui/DialogIcon.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>

namespace monitor {

namespace {

const QString SectionMarker = QStringLiteral("[FrmErrEcu]");
constexpr int SecondSet = 32;
constexpr int ColumnWidths[] = {3600, 2160, 2160}; // twips
constexpr int RowHeight = 330;
constexpr quint32 FirstSetColor = 0x8080FF;
constexpr quint32 SecondSetColor = 0xC0FFFF;

QTableWidgetItem* Cell(QTableWidget& grid, int row, int column) {
    QTableWidgetItem* item = grid.item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid.setItem(row, column, item);
    }
    return item;
}

} // namespace

FrmErrEcu::FrmErrEcu(app::ProgramContext& context, QWidget& owner,
                     std::function<void()> hideErrorButton)
    : QWidget(&owner, Qt::Dialog), ctx_(context), hideErrorButton_(std::move(hideErrorButton)) {
    setObjectName("FrmErrEcu");
    setWindowTitle(" ECU errors");
    resize(ui::ToPixels(8400), ui::ToPixels(6300));

    BuildFrmErrEcu(*this);
    grid_ = &ui::Bind<QTableWidget>(*this, "MSFlexGrid1");
    cmdErrInjCanc_ = &ui::Bind<QPushButton>(*this, "CmdErrInjCanc");
    command2_ = &ui::Bind<QPushButton>(*this, "Command2");
    // The grid shows its column headings; its rows are the error codes.
    grid_->setColumnCount(3);
    grid_->setRowCount(0);
    grid_->horizontalHeader()->show();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui::ShowOwnCellColours(*grid_);
    grid_->verticalHeader()->setDefaultSectionSize(ui::ToPixels(RowHeight));
    grid_->setHorizontalHeaderLabels({"Error", "State 1", "State 2"});
    connect(cmdErrInjCanc_, &QPushButton::clicked, this, [this] { CmdErrInjCanc_Click(); });
    connect(command2_, &QPushButton::clicked, this, [this] { Command2_Click(); });

    timer1_.setInterval(1000);
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
}

void FrmErrEcu::ShowModeless() {
    if (isHidden()) {
        Form_Load();
    }
    show();
    raise();
    activateWindow();
}

void FrmErrEcu::Form_Load() {
    ui::LoadDialogIcon(*this, ctx_.AppFolder);
    BuildErrorGrid();
    RefreshErrorGrid();
    timer1_.start();
}

// One row per code of the first set that has a text; each row keeps its code, so that a
// code without a text shifts no other code's states.
void FrmErrEcu::BuildErrorGrid() {
    for (int column = 0; column < 3; ++column) {
        grid_->setColumnWidth(column, ui::ToPixels(ColumnWidths[column]));
    }
    const QStringList& texts = ctx_.Texts.EcuErrorTexts;
    rowCodes_.clear();
    const int lastCode = std::min<int>(SecondSet - 1, ctx_.Comm().ErrInjUBound());
    for (int code = 0; code <= lastCode; ++code) {
        if (!ecudata::GetErrEcuText(texts, code).isEmpty()) {
            rowCodes_ << code;
        }
    }
    grid_->setRowCount(int(rowCodes_.size()));
    for (int row = 0; row < rowCodes_.size(); ++row) {
        Cell(*grid_, row, 0)->setText(ecudata::GetErrEcuText(texts, rowCodes_[row]));
        Cell(*grid_, row, 1)->setBackground(support::ColorFromBgr(FirstSetColor));
        Cell(*grid_, row, 2)->setBackground(support::ColorFromBgr(SecondSetColor));
    }

    const QStringList captions = support::SectionTexts(ctx_.ObjLingue, SectionMarker, 5);
    if (captions.size() == 5) {
        grid_->setHorizontalHeaderLabels({captions[0], captions[1], captions[2]});
        cmdErrInjCanc_->setText(captions[3]);
        setWindowTitle(" " + captions[4]);
    }
}

void FrmErrEcu::RefreshErrorGrid() {
    const QStringList& texts = ctx_.Texts.EcuErrorTexts;
    const comm::ClsComm& link = ctx_.Comm();
    for (int row = 0; row < rowCodes_.size(); ++row) {
        const int code = rowCodes_[row];
        Cell(*grid_, row, 1)
            ->setText(ecudata::GetErrEcuSubText(texts, code, link.ErrInj(quint8(code))));
        const int partner = code + SecondSet;
        if (partner <= link.ErrInjUBound()) {
            Cell(*grid_, row, 2)
                ->setText(ecudata::GetErrEcuSubText(texts, code, link.ErrInj(quint8(partner))));
        }
    }
}

// The list and the error button are cleared only when the ECU took the request: a
// failed request leaves them for the next error read.
void FrmErrEcu::CmdErrInjCanc_Click() {
    if (clearing_) {
        return;
    }
    clearing_ = true;
    const bool cleared = ecudata::SendRequest(ctx_.Comm(), comm::CMD_CANC_ERR);
    clearing_ = false;
    if (!cleared) {
        return;
    }
    for (int row = 0; row < grid_->rowCount(); ++row) {
        Cell(*grid_, row, 1)->setText(QString());
        Cell(*grid_, row, 2)->setText(QString());
    }
    hideErrorButton_();
}

void FrmErrEcu::Unload() {
    timer1_.stop();
    hide();
}

void FrmErrEcu::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Unload();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void FrmErrEcu::closeEvent(QCloseEvent* event) {
    timer1_.stop();
    QWidget::closeEvent(event);
}

} // namespace monitor
