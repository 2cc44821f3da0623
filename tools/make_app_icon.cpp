// Generates the application icon (a quadratic NURBS curve over its control polygon) as SVG and PNGs.
//
// Usage: make_app_icon <icons folder>   (run with QT_QPA_PLATFORM=offscreen where there is no display)
//
// Writes hicolor/scalable/apps/knotwork.svg and hicolor/<n>x<n>/apps/knotwork.png for the usual sizes.
// Both are drawn from the one description below, in a 256-unit square, so they always agree; a second
// run writes the same bytes.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <charconv>
#include <cstdio>
#include <string>

namespace {
constexpr double units = 256.0;
constexpr std::array<int, 8> pngSizes = {16, 22, 24, 32, 48, 64, 128, 256};

struct Colour {
    int r, g, b;
    QColor q() const { return QColor(r, g, b); }
};
// The palette of the button icons.
constexpr Colour paper{236, 238, 242};
constexpr Colour ink{30, 50, 110};
constexpr Colour guide{150, 155, 165};
constexpr Colour point{200, 40, 30};

// The tile behind the drawing.
constexpr double tileInset = 12.0, tileRadius = 44.0, tileBorder = 8.0;
// A clamped quadratic B-spline with uniform inner knots: its Bezier pieces run from P0 through P1 to the
// middle of P1 P2, then through P2 to P3, so the SVG holds the exact curve, not samples of it.
constexpr std::array<QPointF, 4> controlPoints = {QPointF(56, 192), QPointF(84, 56), QPointF(172, 200),
                                                  QPointF(200, 64)};
constexpr double curveWidth = 22.0, polygonWidth = 8.0, dash = 16.0, gap = 12.0, pointRadius = 16.0;

QPointF middle(QPointF a, QPointF b) {
    return (a + b) / 2.0;
}

std::string number(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string hex(Colour c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

std::string svgPoint(QPointF p) {
    return number(p.x()) + " " + number(p.y());
}

std::string svg() {
    const auto& p = controlPoints;
    const double side = units - 2 * tileInset;
    std::string out =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n";
    out += "  <rect x=\"" + number(tileInset) + "\" y=\"" + number(tileInset) + "\" width=\"" + number(side) +
           "\" height=\"" + number(side) + "\" rx=\"" + number(tileRadius) + "\" fill=\"" + hex(paper) +
           "\" stroke=\"" + hex(guide) + "\" stroke-width=\"" + number(tileBorder) + "\"/>\n";
    out += "  <polyline points=\"";
    for (std::size_t i = 0; i < p.size(); ++i)
        out += (i ? " " : "") + number(p[i].x()) + "," + number(p[i].y());
    out += "\" fill=\"none\" stroke=\"" + hex(guide) + "\" stroke-width=\"" + number(polygonWidth) +
           "\" stroke-dasharray=\"" + number(dash) + " " + number(gap) + "\" stroke-linecap=\"butt\"/>\n";
    out += "  <path d=\"M " + svgPoint(p[0]) + " Q " + svgPoint(p[1]) + " " + svgPoint(middle(p[1], p[2])) +
           " Q " + svgPoint(p[2]) + " " + svgPoint(p[3]) + "\" fill=\"none\" stroke=\"" + hex(ink) +
           "\" stroke-width=\"" + number(curveWidth) + "\" stroke-linecap=\"round\"/>\n";
    for (const QPointF& q : p)
        out += "  <circle cx=\"" + number(q.x()) + "\" cy=\"" + number(q.y()) + "\" r=\"" +
               number(pointRadius) + "\" fill=\"" + hex(point) + "\"/>\n";
    out += "</svg>\n";
    return out;
}

QImage png(int size) {
    const auto& p = controlPoints;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / units, size / units);

    painter.setPen(QPen(guide.q(), tileBorder));
    painter.setBrush(paper.q());
    painter.drawRoundedRect(QRectF(tileInset, tileInset, units - 2 * tileInset, units - 2 * tileInset),
                            tileRadius, tileRadius);

    // A pen's dash pattern counts in pen widths.
    QPen polygon(guide.q(), polygonWidth, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    polygon.setDashPattern({dash / polygonWidth, gap / polygonWidth});
    painter.setPen(polygon);
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(p.data(), static_cast<int>(p.size()));

    QPainterPath curve(p[0]);
    curve.quadTo(p[1], middle(p[1], p[2]));
    curve.quadTo(p[2], p[3]);
    painter.setPen(QPen(ink.q(), curveWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(curve);

    painter.setPen(Qt::NoPen);
    painter.setBrush(point.q());
    for (const QPointF& q : p)
        painter.drawEllipse(q, pointRadius, pointRadius);
    painter.end();
    return image;
}

bool makeFolder(const QString& path) {
    if (QDir().mkpath(path))
        return true;
    std::fprintf(stderr, "cannot create %s\n", qPrintable(path));
    return false;
}
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_app_icon <icons folder>\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]) + "/hicolor");

    const QString scalable = root.filePath("scalable/apps");
    if (!makeFolder(scalable))
        return 1;
    QFile file(scalable + "/knotwork.svg");
    const std::string text = svg();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return 1;
    }
    file.close();

    for (int size : pngSizes) {
        const QString folder = root.filePath(QString("%1x%1/apps").arg(size));
        if (!makeFolder(folder))
            return 1;
        const QString path = folder + "/knotwork.png";
        if (!png(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    std::printf("wrote knotwork.svg and %zu PNG sizes to %s\n", pngSizes.size(), qPrintable(root.path()));
    return 0;
}
