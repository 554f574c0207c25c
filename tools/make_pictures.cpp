// lx735-make-pictures FOLDER: draws the program's pictures into FOLDER (the staged LNG):
// the window icon ico.img, the General page's logo img2.img, the live frame's small logo
// img3.img and the About picture IMG.IMG, all PNG.

#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

struct Picture {
    const char* file;
    int width;
    int height;
    const char* text;
    bool opaque; // the About picture fills its window; the logos let the lamp show round
};

// Sizes in pixels of the controls they fill (15 twips a pixel).
const Picture Pictures[] = {
    {"ico.img", 32, 32, "LX", true},
    {"img2.img", 92, 80, "LX735", false},
    {"img3.img", 56, 66, "LX", false},
    {"IMG.IMG", 400, 150, "LX735", true},
};

bool Draw(const Picture& p, const QString& folder) {
    QImage image(p.width, p.height, QImage::Format_ARGB32);
    image.fill(p.opaque ? QColor(0x1F, 0x4E, 0x79) : QColor(Qt::transparent));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(2, 2, p.width - 4, p.height - 4);
    if (!p.opaque) {
        painter.setBrush(QColor(0x1F, 0x4E, 0x79));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(box, 8, 8);
    }
    // The largest text that fits the box with a margin.
    QFont font(QStringLiteral("Sans"));
    font.setBold(true);
    const QString text = QString::fromLatin1(p.text);
    for (int size = p.height / 3; size >= 8; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(text) <= box.width() - 12) {
            break;
        }
    }
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text);
    painter.end();
    return image.save(folder + "/" + p.file, "PNG");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lx735-make-pictures FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    for (const Picture& p : Pictures) {
        if (!Draw(p, folder)) {
            std::fprintf(stderr, "lx735-make-pictures: cannot write %s\n", p.file);
            return 1;
        }
    }
    return 0;
}
