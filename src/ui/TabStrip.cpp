#include "ui/TabStrip.h"

#include "ui/Controls.h"

#include <QEvent>
#include <QPushButton>
#include <QStackedWidget>

namespace ui {

TabStrip::TabStrip(QWidget* parent) : QWidget(parent), pages_(new QStackedWidget(this)) {
    pages_->setObjectName("SstMainPages");
}

int TabStrip::addTab(QWidget* page, const QString& caption) {
    const int index = count();
    pages_->addWidget(page);
    auto* button = new QPushButton(caption, this);
    button->setObjectName(ArrayName("SstMainTabButton", index));
    button->setCheckable(true);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, [this, index] {
        setCurrentIndex(index);
        buttons_[index]->setChecked(current_ == index);
    });
    buttons_.append(button);
    hidden_.append(false);
    if (current_ < 0) {
        setCurrentIndex(index);
    }
    Arrange();
    return index;
}

QWidget* TabStrip::widget(int index) const {
    return pages_->widget(index);
}

bool TabStrip::setCurrentIndex(int index) {
    if (index < 0 || index >= count() || !isTabVisible(index)) {
        return false;
    }
    if (index == current_) {
        return true;
    }
    current_ = index;
    pages_->setCurrentIndex(index);
    for (int i = 0; i < count(); ++i) {
        buttons_[i]->setChecked(i == index);
    }
    Arrange();
    emit currentChanged(index);
    return true;
}

QString TabStrip::tabText(int index) const {
    return index >= 0 && index < count() ? buttons_[index]->text() : QString();
}

void TabStrip::setTabText(int index, const QString& caption) {
    if (index >= 0 && index < count()) {
        buttons_[index]->setText(caption);
    }
}

bool TabStrip::isTabVisible(int index) const {
    return index >= 0 && index < count() && !hidden_[index];
}

void TabStrip::setTabVisible(int index, bool visible) {
    if (index < 0 || index >= count()) {
        return;
    }
    hidden_[index] = !visible;
    if (!visible && index == current_) {
        for (int step = 1; step < count(); ++step) {
            for (int candidate : {index + step, index - step}) {
                if (candidate >= 0 && candidate < count() && isTabVisible(candidate)) {
                    setCurrentIndex(candidate);
                    return;
                }
            }
        }
    }
    Arrange();
}

void TabStrip::SetTabsPerRow(int tabs) {
    tabsPerRow_ = std::max(1, tabs);
    Arrange();
}

QPushButton* TabStrip::TabButton(int index) const {
    return index >= 0 && index < count() ? buttons_[index] : nullptr;
}

QList<int> TabStrip::ShownTabs() const {
    QList<int> shown;
    for (int i = 0; i < count(); ++i) {
        if (isTabVisible(i)) {
            shown << i;
        }
    }
    return shown;
}

QList<QList<int>> TabStrip::Rows() const {
    const QList<int> shown = ShownTabs();
    const int rows = int((shown.size() + tabsPerRow_ - 1) / tabsPerRow_);
    const int selectedRow = std::max<int>(0, int(shown.indexOf(current_)) / tabsPerRow_);
    QList<QList<int>> display(rows);
    for (int k = 0; k < shown.size(); ++k) {
        const int row = k / tabsPerRow_;
        // The rows turn so that the selected one comes last, next to the pages.
        display[(row - selectedRow - 1 + rows) % rows] << shown[k];
    }
    return display;
}

int TabStrip::RowHeight() const {
    return fontMetrics().height() + 8;
}

int TabStrip::RowsHeight() const {
    return int(Rows().size()) * RowHeight();
}

void TabStrip::Arrange() {
    pages_->setGeometry(rect());
    pages_->lower();
    for (QPushButton* button : std::as_const(buttons_)) {
        button->hide();
    }
    const QList<QList<int>> rows = Rows();
    const int height = RowHeight();
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            QPushButton* button = buttons_[rows[r][c]];
            const int left = c * width() / tabsPerRow_;
            const int right = (c + 1) * width() / tabsPerRow_;
            button->setGeometry(left, r * height, right - left, height);
            button->show();
            button->raise();
        }
    }
}

void TabStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Arrange();
}

void TabStrip::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        Arrange();
    }
}

} // namespace ui
