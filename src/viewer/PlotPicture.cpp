#include "viewer/PlotPicture.h"

#include "support/Colors.h"
#include "ui/Controls.h"
#include "viewer/PlotGeometry.h"

#include <QMouseEvent>
#include <QPainter>

namespace viewer {

namespace {

constexpr quint32 GridGrey = 0xE0E0E0;

double Px(int twips) {
    return twips / double(ui::TwipsPerPixel);
}

} // namespace

PlotPicture::PlotPicture(QWidget* parent)
    : QWidget(parent),
      picture_(ui::ToPixels(PlotWidth), ui::ToPixels(PlotHeight), QImage::Format_RGB32) {
    picture_.fill(Qt::black);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PlotPicture::~PlotPicture() = default;

void PlotPicture::Clear() {
    Painter().fillRect(picture_.rect(), Qt::black);
    update();
}

void PlotPicture::Line(int x1, int y1, int x2, int y2, quint32 bgr) {
    QPainter& p = Painter();
    p.setPen(QPen(support::ColorFromBgr(bgr), 0));
    p.drawLine(QPointF(Px(x1), Px(y1)), QPointF(Px(x2), Px(y2)));
    update();
}

void PlotPicture::Erase(int x1, int x2) {
    Painter().fillRect(QRectF(Px(x1), 0, Px(x2 - x1), picture_.height()), Qt::black);
    update();
}

void PlotPicture::SetGrid(std::vector<QPoint> dots) {
    dots_ = std::move(dots);
    update();
}

void PlotPicture::paintEvent(QPaintEvent*) {
    painter_.reset(); // what was drawn since the last paint reaches the picture
    QPainter p(this);
    p.drawImage(0, 0, picture_);
    const QColor grey = support::ColorFromBgr(GridGrey);
    for (const QPoint& d : dots_) {
        p.fillRect(ui::ToPixels(d.x()), ui::ToPixels(d.y()), 2, 2, grey);
    }
}

void PlotPicture::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove) {
        onMouseMove(ui::ToTwips(static_cast<int>(event->position().x())));
    }
}

QPainter& PlotPicture::Painter() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&picture_);
    }
    return *painter_;
}

} // namespace viewer
