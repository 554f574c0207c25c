#pragma once

// The viewer's plot area PctSignal: a kept picture in twips that is drawn on and never
// lost on repaint, the grid's dots over it, and the mouse position reported for the
// cursor. What to draw where is the viewer's (PlotGeometry); this widget only paints.

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace viewer {

class PlotPicture : public QWidget {
public:
    explicit PlotPicture(QWidget* parent);
    ~PlotPicture() override;

    // The whole picture black again.
    void Clear();
    // A line from (x1, y1) to (x2, y2), in twips, in a BGR colour.
    void Line(int x1, int y1, int x2, int y2, quint32 bgr);
    // The band between x1 and x2 twips black again, top to bottom.
    void Erase(int x1, int x2);
    // The grid's dots, in twips, drawn over the picture (none: no grid).
    void SetGrid(std::vector<QPoint> dots);
    int DotCount() const { return static_cast<int>(dots_.size()); }

    // The mouse's x over the picture, in twips.
    std::function<void(double x)> onMouseMove;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPainter& Painter();

    QImage picture_;
    // One painter for all the lines drawn between two paints: a redraw of thousands of
    // segments does not begin and end a painter for each.
    std::unique_ptr<QPainter> painter_;
    std::vector<QPoint> dots_;
};

} // namespace viewer
