#include "support/UCtrlBar.h"

#include "support/Colors.h"

#include <QColor>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <limits>

namespace support {

namespace {

constexpr int kInt16Max = std::numeric_limits<qint16>::max();

// Whether any segment changed.
template <typename Predicate> bool ShowWhere(QList<UCtrlBar::Segment>& segments, Predicate shown) {
    bool changed = false;
    for (int i = 0; i < int(segments.size()); ++i) {
        const bool visible = shown(i);
        changed |= segments[i].visible != visible;
        segments[i].visible = visible;
    }
    return changed;
}

} // namespace

UCtrlBar::UCtrlBar(QWidget* parent) : QWidget(parent), shpBar_(1), backColor_(ColorButtonFace) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void UCtrlBar::Configura(qint16& maxVal, qint16 mimVal, qint16& stepVal, quint32 backColor,
                         quint32 segmentColor, qint16 style) {
    if (maxVal < mimVal) {
        maxVal = mimVal;
    }
    const int range = int(maxVal) - int(mimVal); // up to 65535: beyond 16 bits
    if (stepVal > range) {
        stepVal = qint16(std::min(range, kInt16Max));
    }
    if (stepVal < 1) {
        stepVal = 1;
    }
    maxVal_ = maxVal;
    mimVal_ = mimVal;
    stepVal_ = stepVal;
    style_ = style;
    backColor_ = backColor;

    Segment& first = shpBar_.first();
    first.fillColor = segmentColor;
    first.borderColor = segmentColor;
    first.border = style > 0;

    const int count = range / stepVal;
    noSegments_ = count == 0;
    if (noSegments_) {
        // Nothing to divide the width by: the bar shows no segment until configured again.
        ShowWhere(shpBar_, [](int) { return false; });
        update();
        return;
    }

    // Whole pixels per segment; round half to even.
    const double pixels = double(width() * kTwipsPerPixel) / count / kTwipsPerPixel;
    first.width = int(std::nearbyint(pixels)) * kTwipsPerPixel;
    first.visible = true;
    const Segment model = first;
    while (shpBar_.size() < count) {
        shpBar_.append(model);
    }
    for (qsizetype i = 1; i < shpBar_.size(); ++i) {
        shpBar_[i].left = shpBar_[i - 1].left + shpBar_[i - 1].width;
        shpBar_[i].visible = true;
    }
    update();
}

void UCtrlBar::ForeColor(quint32 color) {
    for (Segment& segment : shpBar_) {
        segment.fillColor = color;
        segment.borderColor = color;
    }
    update();
}

quint32 UCtrlBar::ForeColor() const {
    return shpBar_.first().fillColor;
}

void UCtrlBar::StepBorder(qint16 borderStyle) {
    for (Segment& segment : shpBar_) {
        segment.border = borderStyle > 0;
    }
    update();
}

void UCtrlBar::Valore(qint16& value) {
    int number = std::max<int>(value, 0) / stepVal_; // counted from 0, not from MimVal
    bool changed = false;
    if (noSegments_) {
        number = 0;
        changed = ShowWhere(shpBar_, [](int) { return false; });
    } else if (style_ == kStyleSingle) {
        number = std::min(number, int(shpBar_.size()) - 1);
        changed = ShowWhere(shpBar_, [number](int i) { return i == number; });
    } else {
        changed = ShowWhere(shpBar_, [number](int i) { return i < number; }); // beyond the end: all
    }
    value = qint16(number);
    // The live displays set their bars at every record: an unchanged bar is not redrawn.
    if (changed) {
        update();
    }
}

qint16 UCtrlBar::Valore() const {
    const auto firstHidden =
        std::find_if(shpBar_.cbegin(), shpBar_.cend(), [](const Segment& s) { return !s.visible; });
    const int lit = int(firstHidden - shpBar_.cbegin());
    return qint16(std::min(lit * int(stepVal_), kInt16Max));
}

void UCtrlBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ColorFromBgr(backColor_));
    painter.setBrush(Qt::NoBrush);
    for (const Segment& segment : shpBar_) {
        const QRect area(segment.left / kTwipsPerPixel, 0, segment.width / kTwipsPerPixel,
                         height());
        if (!segment.visible || area.isEmpty()) {
            continue;
        }
        painter.fillRect(area, ColorFromBgr(segment.fillColor));
        if (segment.border) {
            painter.setPen(ColorFromBgr(segment.borderColor));
            painter.drawRect(area.adjusted(0, 0, -1, -1));
        }
    }
    // ShpBorder: the frame of the whole control, drawn over the segments.
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace support
