#include "calibration/ChartCanvas.h"

#include "app/Controls.h"
#include "support/Colors.h"

#include <QPainter>
#include <algorithm>

namespace calibration {

namespace {

constexpr quint32 GridColor = 0x404040;

QPointF Pixels(double xTwips, double yTwips) {
    return {xTwips / app::TwipsPerPixel, yTwips / app::TwipsPerPixel};
}

} // namespace

ChartLine::ChartLine(const QString& name, QObject* parent) : QObject(parent) {
    setObjectName(name);
}

ChartCanvas::ChartCanvas(QWidget& frame, const QString& name) : QWidget(&frame) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    Fit();
    lower();
    show();
}

void ChartCanvas::Fit() {
    if (parentWidget()) {
        setGeometry(parentWidget()->rect());
        lower();
    }
}

ChartLine* ChartCanvas::Line(const QString& name) const {
    return findChild<ChartLine*>(name, Qt::FindDirectChildrenOnly);
}

void ChartCanvas::SetFrame(const ChartFrame& frame) {
    frame_ = frame;
    std::vector<ChartLine*> lines;
    for (const GridLine& g : frame.lines) {
        ChartLine* line = Line(g.name);
        if (!line) {
            line = new ChartLine(g.name, this);
        }
        line->X1 = g.x1;
        line->Y1 = g.y1;
        line->X2 = g.x2;
        line->Y2 = g.y2;
        line->Dotted = g.dotted;
        line->Color = g.dotted ? GridColor : 0;
        line->Visible = true;
        lines.push_back(line);
    }
    for (ChartLine* old : frameLines_) {
        if (std::find(lines.begin(), lines.end(), old) == lines.end()) {
            delete old;
        }
    }
    frameLines_ = lines;
    update();
}

ChartLine& ChartCanvas::Overlay(const QString& name) {
    if (ChartLine* line = Line(name)) {
        return *line;
    }
    auto* line = new ChartLine(name, this);
    line->Visible = false;
    overlays_.push_back(line);
    return *line;
}

void ChartCanvas::SendToBack(const QString& name) {
    auto it = std::find_if(overlays_.begin(), overlays_.end(),
                           [&](ChartLine* l) { return l->objectName() == name; });
    if (it != overlays_.end()) {
        std::rotate(overlays_.begin(), it, it + 1);
    }
}

void ChartCanvas::PaintLine(QPainter& painter, const ChartLine& line) const {
    if (!line.Visible) {
        return;
    }
    QPen pen(support::ColorFromBgr(line.Color), line.Width);
    pen.setStyle(line.Dotted ? Qt::DotLine : Qt::SolidLine);
    painter.setPen(pen);
    painter.drawLine(Pixels(line.X1, line.Y1), Pixels(line.X2, line.Y2));
}

void ChartCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(
        QRectF(Pixels(frame_.backLeft, frame_.backTop),
               Pixels(frame_.backLeft + frame_.backWidth, frame_.backTop + frame_.backHeight)),
        Qt::white);
    for (const ChartLine* line : frameLines_) {
        PaintLine(painter, *line);
    }
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font());
    for (const AxisNumber& n : frame_.numbers) {
        const double w = metrics.horizontalAdvance(n.caption);
        const QPointF at = Pixels(n.x, n.y);
        if (n.onXAxis) {
            painter.drawText(QPointF(at.x() - w / 2, at.y() + metrics.ascent()), n.caption);
        } else {
            painter.drawText(QPointF(at.x() - w, at.y() + metrics.ascent() / 2 - 1), n.caption);
        }
    }
    for (const ChartLine* line : overlays_) {
        PaintLine(painter, *line);
    }
}

} // namespace calibration
