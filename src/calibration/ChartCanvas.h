#pragma once

// The drawing surface of a chart frame (FrmMod, FrmMap): it lies behind every other
// control of the frame and paints the plot background, the axes, grid lines, borders
// and axis numbers of a ChartFrame, then the lines the pages place (the model's
// segments and reference line). Every line is a named ChartLine object, found by name
// like a control ("LneXMod(3)", "LineRMod(2)"); the numbers are painted only.

#include "calibration/ChartGeometry.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

class QLineEdit;

namespace calibration {

class ChartLine : public QObject {
public:
    ChartLine(const QString& name, QObject* parent);

    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0; // twips in the frame
    bool Visible = true;
    bool Dotted = false;
    quint32 Color = 0; // BGR
    int Width = 1;     // pixels
};

class ChartCanvas : public QWidget {
public:
    // Fills frame (its whole area) and stays behind the frame's other children.
    ChartCanvas(QWidget& frame, const QString& name);

    // The frame's lines and numbers: elements are reused by name, surplus grid lines
    // removed.
    void SetFrame(const ChartFrame& frame);
    // A line the page places above the frame (created on first use, hidden).
    ChartLine& Overlay(const QString& name);
    // Sends an overlay line behind the other overlays.
    void SendToBack(const QString& name);
    ChartLine* Line(const QString& name) const;
    // Where each axis number is drawn, in pixels of the canvas.
    std::vector<std::pair<QString, QRect>> NumberRects() const;

    // Fits the canvas to its frame again after the frame was resized.
    void Fit();

    // The axis titles: moved into the frame, each sized to its text and placed in its
    // band at every new frame and at every new text (the caption translation).
    void SetTitles(QLineEdit& yTitle, QLineEdit& xTitle);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PlaceTitles();
    void PaintLine(class QPainter& painter, const ChartLine& line) const;

    ChartFrame frame_;
    std::vector<ChartLine*> frameLines_;
    std::vector<ChartLine*> overlays_;
    QPointer<QLineEdit> yTitle_;
    QPointer<QLineEdit> xTitle_;
};

} // namespace calibration
