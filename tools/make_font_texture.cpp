// Generates data.tga, the 16 x 16 glyph texture of the bitmap font, from DejaVu Sans Mono.
//
// Usage: make_font_texture <output folder>   (run with QT_QPA_PLATFORM=offscreen where there is no display)
//
// Cell n is column n mod 16, row n div 16 counted from the top of the picture. Cells 0..127 hold codes
// 32..159 in the regular face, cells 128..255 the same codes in bold; only printable ASCII has ink.
// Glyphs are white, their coverage in alpha, because titles blend with source alpha and one.
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdio>

namespace {
constexpr int imageSize = 256;
constexpr int cell = 16;
// The font draws a 16-unit square per glyph and advances 14: ink goes in the first 14 columns of a cell,
// with a column to spare either side, and rows 1..15 so the edges never pick up a neighbour's ink.
constexpr double inkWidth = 12.0;
constexpr double inkHeight = 14.0;
constexpr double inkCentreX = 7.0;
constexpr double inkCentreY = 8.0;
constexpr const char* fontFolder = "/usr/share/fonts/truetype/dejavu/";

QString loadFamily(const char* file) {
    const int id = QFontDatabase::addApplicationFont(QString(fontFolder) + file);
    if (id < 0)
        return {};
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.first();
}

// Union of the ink of every printable ASCII glyph, relative to the pen on the baseline.
QRectF asciiInk(const QFont& font) {
    const QFontMetricsF metrics(font);
    QRectF ink;
    for (int c = 33; c < 127; ++c)
        ink = ink.united(metrics.tightBoundingRect(QString(QChar(c))));
    return ink;
}

struct Face {
    QFont font;
    double scaleX = 1.0;
    QPointF pen; // where the pen goes inside a cell, before the horizontal scale
};

// The largest pixel size whose ink fits the cell's height, then widened or narrowed to the ink width.
Face fitFace(const QString& family, bool bold) {
    Face face;
    face.font = QFont(family);
    face.font.setBold(bold);
    face.font.setHintingPreference(QFont::PreferNoHinting);
    face.font.setStyleStrategy(QFont::PreferAntialias);
    QRectF ink;
    for (int pixels = 24; pixels >= 6; --pixels) {
        face.font.setPixelSize(pixels);
        ink = asciiInk(face.font);
        if (ink.height() <= inkHeight)
            break;
    }
    face.scaleX = inkWidth / ink.width();
    face.pen = QPointF(inkCentreX / face.scaleX - ink.center().x(), inkCentreY - ink.center().y());
    return face;
}

void drawCells(QImage& picture, const Face& face, int firstCell) {
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::white);
    painter.setFont(face.font);
    for (int code = 33; code < 127; ++code) {
        const int n = firstCell + code - 32;
        const int x = (n % 16) * cell;
        const int y = (n / 16) * cell;
        painter.save();
        painter.setClipRect(x, y, cell, cell);
        painter.translate(x, y);
        painter.scale(face.scaleX, 1.0);
        painter.drawText(face.pen, QString(QChar(code)));
        painter.restore();
    }
}

// 32-bit uncompressed TGA with the bottom row first (descriptor bit 5 clear), so that uploading the rows
// as stored puts the picture's top row at texture t = 1, where the glyph lists look for cell row 0.
bool writeTga(const QImage& picture, const QString& path) {
    QByteArray bytes;
    const char header[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    bytes.append(header, 12);
    const int w = picture.width(), h = picture.height();
    const char sizeAndDepth[6] = {char(w & 0xff), char(w >> 8), char(h & 0xff),
                                  char(h >> 8),   32,           8 /* alpha bits */};
    bytes.append(sizeAndDepth, 6);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const char alpha = char(qAlpha(picture.pixel(x, y)));
            const char pixel[4] = {char(0xff), char(0xff), char(0xff), alpha}; // blue, green, red, alpha
            bytes.append(pixel, 4);
        }
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_font_texture <output folder>\n");
        return 2;
    }
    const QString regular = loadFamily("DejaVuSansMono.ttf");
    const QString bold = loadFamily("DejaVuSansMono-Bold.ttf");
    if (regular.isEmpty() || bold.isEmpty()) {
        std::fprintf(stderr, "DejaVu Sans Mono not found in %s (Debian package fonts-dejavu-core)\n",
                     fontFolder);
        return 1;
    }

    QImage picture(imageSize, imageSize, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    drawCells(picture, fitFace(regular, false), 0);
    drawCells(picture, fitFace(bold, true), 128);

    const QString path = QString::fromLocal8Bit(argv[1]) + "/data.tga";
    if (!writeTga(picture, path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("wrote %s\n", qPrintable(path));
    return 0;
}
