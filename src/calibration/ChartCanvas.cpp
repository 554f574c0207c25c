#include "calibration/ChartCanvas.h"

#include "support/Colors.h"
#include "ui/Controls.h"

#include <QLineEdit>
#include <QPainter>
#include <algorithm>

namespace calibration {

namespace {

constexpr quint32 GridColor = 0x404040;
constexpr double TitleHeight = 285;

QPointF Pixels(double xTwips, double yTwips) {
    return {xTwips / ui::TwipsPerPixel, yTwips / ui::TwipsPerPixel};
}

// The left end of a number's baseline: X numbers centred below their point, Y numbers
// ending at theirs.
QPointF NumberOrigin(const AxisNumber& n, const QFontMetricsF& metrics) {
    const double w = metrics.horizontalAdvance(n.caption);
    const QPointF at = Pixels(n.x, n.y);
    return n.onXAxis ? QPointF(at.x() - w / 2, at.y() + metrics.ascent())
                     : QPointF(at.x() - w, at.y() + metrics.ascent() / 2 - 1);
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
    PlaceTitles();
    update();
}

void ChartCanvas::SetTitles(QLineEdit& yTitle, QLineEdit& xTitle) {
    yTitle_ = &yTitle;
    xTitle_ = &xTitle;
    for (QLineEdit* title : {&yTitle, &xTitle}) {
        title->setParent(parentWidget());
        title->setFrame(false);
        title->setReadOnly(true);
        title->show();
        connect(title, &QLineEdit::textChanged, this, [this] { PlaceTitles(); });
    }
    PlaceTitles();
}

void ChartCanvas::PlaceTitles() {
    if (!yTitle_ || !xTitle_ || !parentWidget()) {
        return;
    }
    // Each as wide as its text with the two pixels a box keeps clear each side.
    const auto size = [](const QLineEdit& title) {
        const int text = title.fontMetrics().horizontalAdvance(title.text()) + 6;
        return QSizeF(text * ui::TwipsPerPixel, TitleHeight);
    };
    const AxisTitles at =
        PlaceAxisTitles(frame_, ui::HeightTwips(*parentWidget()), size(*yTitle_), size(*xTitle_));
    for (const auto& [title, place] :
         {std::pair{yTitle_.data(), at.y}, std::pair{xTitle_.data(), at.x}}) {
        ui::MoveTwips(*title, int(place.left()), int(place.top()), int(place.width()),
                      int(place.height()));
        title->raise();
    }
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

std::vector<std::pair<QString, QRect>> ChartCanvas::NumberRects() const {
    const QFontMetricsF metrics(font());
    std::vector<std::pair<QString, QRect>> rects;
    for (const AxisNumber& n : frame_.numbers) {
        const QPointF origin = NumberOrigin(n, metrics);
        const QRectF drawn(origin.x(), origin.y() - metrics.ascent(),
                           metrics.horizontalAdvance(n.caption), metrics.height());
        rects.emplace_back(n.caption, drawn.toAlignedRect());
    }
    return rects;
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
        painter.drawText(NumberOrigin(n, metrics), n.caption);
    }
    for (const ChartLine* line : overlays_) {
        PaintLine(painter, *line);
    }
}

} // namespace calibration
