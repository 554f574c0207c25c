#pragma once

// The main window's tab control SstMain: rows of tab buttons over a stack of pages, as a
// multi-row tab strip shows them. The tabs stand so many a row, in their order, hidden
// tabs taking no place; the row of the selected tab stands next to the pages (the
// bottom row), the other rows above it in turn. The pages fill the whole control, so
// that their controls are placed in the control's own twips, below the rows.

#include <QList>
#include <QString>
#include <QWidget>

class QPushButton;
class QStackedWidget;

namespace ui {

class TabStrip : public QWidget {
    Q_OBJECT

public:
    explicit TabStrip(QWidget* parent = nullptr);

    int addTab(QWidget* page, const QString& caption);
    int count() const { return int(buttons_.size()); }
    QWidget* widget(int index) const;

    int currentIndex() const { return current_; }
    // A hidden tab or an index out of range is refused (the selection stays).
    bool setCurrentIndex(int index);

    QString tabText(int index) const;
    void setTabText(int index, const QString& caption);
    bool isTabVisible(int index) const;
    // Hiding the selected tab selects the next shown one (or the one before).
    void setTabVisible(int index, bool visible);

    void SetTabsPerRow(int tabs);

    // The button of a tab, and the rows as they stand: the shown tabs of each row from
    // the top row down, and the height they take (pixels).
    QPushButton* TabButton(int index) const;
    QList<QList<int>> Rows() const;
    int RowsHeight() const;

signals:
    // A new tab was selected, by a click on its button or by setCurrentIndex.
    void currentChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int RowHeight() const;
    QList<int> ShownTabs() const;
    void Arrange();

    QStackedWidget* pages_;
    QList<QPushButton*> buttons_;
    QList<bool> hidden_;
    int current_ = -1;
    int tabsPerRow_ = 2;
};

} // namespace ui
