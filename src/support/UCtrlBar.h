#pragma once

// A horizontal bar of equal segments laid side by side (the injector bars). It is
// configured once with a scale and colours, then shows a value either as a filled run
// of segments from the left or as one lit segment.
//
// Geometry is kept in twips (15 per pixel) and colours as Windows BGR values
// (&H00BBGGRR, or &H800000nn for a system colour); both are converted only where the
// bar is drawn.

#include <QList>
#include <QWidget>
#include <QtGlobal>

namespace support {

class UCtrlBar : public QWidget {
public:
    // One rectangle of ShpBar. Segments span the control's full height.
    struct Segment {
        int left = 0;  // twips
        int width = 0; // twips
        bool visible = false;
        quint32 fillColor = 0;   // BGR
        quint32 borderColor = 0; // BGR
        bool border = false;     // solid line when true, none otherwise
    };

    static constexpr int kTwipsPerPixel = 15;
    static constexpr qint16 kStyleSingle = 2; // one lit segment instead of a filled run

    explicit UCtrlBar(QWidget* parent = nullptr);

    // Sets the scale and builds the segments. maxVal is raised to minVal and stepVal
    // brought into 1..range, both in the caller's variables. Segments left over from an
    // earlier, longer configuration are kept. A zero range gives a bar with no segment.
    void Configura(qint16& maxVal, qint16 mimVal, qint16& stepVal, quint32 backColor,
                   quint32 segmentColor, qint16 style);

    void ForeColor(quint32 color); // fill and border of every segment
    quint32 ForeColor() const;     // fill of segment 0

    qint16 MaxVal() const { return maxVal_; }
    qint16 MimVal() const { return mimVal_; }
    qint16 StepVal() const { return stepVal_; }

    void StepBorder(qint16 borderStyle); // 0 none, 1 solid line, for every segment

    // Shows value (counted from 0, in steps of StepVal); value receives the segment
    // number.
    void Valore(qint16& value);
    // The number of leading visible segments times StepVal.
    qint16 Valore() const;

    const QList<Segment>& ShpBar() const { return shpBar_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<Segment> shpBar_;
    bool noSegments_ = false; // configured with a zero range
    quint32 backColor_;
    qint16 maxVal_ = 100;
    qint16 mimVal_ = 0;
    qint16 stepVal_ = 10;
    qint16 style_ = 0;
};

} // namespace support
