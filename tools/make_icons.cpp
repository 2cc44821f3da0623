// Generates the sixteen button icons (JPEG line drawings, 50 x 50) into <data folder>/icons.
//
// Usage: make_icons <data folder>   (run with QT_QPA_PLATFORM=offscreen where there is no display)
//
// The predefined-object icons (n*.jpg) are shown on 35-pixel buttons, so every stroke is at least
// 2.5 pixels wide at 50 and stays visible when scaled down.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
constexpr int iconSize = 50;
const QColor background(236, 238, 242);
const QColor ink(30, 50, 110);       // curves and surfaces
const QColor guide(150, 155, 165);   // control polygons, hidden edges, axes
const QColor point(200, 40, 30);     // control points
const QColor highlight(20, 150, 60); // the point an edit tool acts on
constexpr double stroke = 2.6;

void setPen(QPainter& p, const QColor& colour, double width, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(colour, width, style, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
}

void dot(QPainter& p, QPointF at, const QColor& colour = point, double radius = 2.8) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(at, radius, radius);
    p.setBrush(Qt::NoBrush);
}

void polygonWithPoints(QPainter& p, const std::vector<QPointF>& points, bool closed = false) {
    setPen(p, guide, 1.4, Qt::DashLine);
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        p.drawLine(points[i], points[i + 1]);
    if (closed)
        p.drawLine(points.back(), points.front());
    for (const QPointF& q : points)
        dot(p, q);
}

// A filled arrowhead with its tip at `tip`, pointing along `direction` (degrees, y down).
void arrowHead(QPainter& p, QPointF tip, double direction, const QColor& colour = ink, double size = 8.0) {
    const double a = direction * M_PI / 180.0;
    const QPointF back(-std::cos(a) * size, -std::sin(a) * size);
    const QPointF side(-std::sin(a) * size * 0.55, std::cos(a) * size * 0.55);
    QPolygonF head;
    head << tip << tip + back + side << tip + back - side;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(head);
    p.setBrush(Qt::NoBrush);
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour = ink) {
    const double direction = std::atan2(to.y() - from.y(), to.x() - from.x()) * 180.0 / M_PI;
    const double a = direction * M_PI / 180.0;
    setPen(p, colour, stroke);
    p.drawLine(from, to - QPointF(std::cos(a) * 5.0, std::sin(a) * 5.0));
    arrowHead(p, to, direction, colour);
}

// An ellipse arc from `start` through `span` degrees (counter-clockwise on screen as in QPainter).
QPainterPath ellipseArc(QRectF box, double start, double span) {
    QPainterPath path;
    path.arcMoveTo(box, start);
    path.arcTo(box, start, span);
    return path;
}

QPointF onEllipse(QRectF box, double degrees) {
    const double a = degrees * M_PI / 180.0;
    return box.center() + QPointF(std::cos(a) * box.width() / 2, -std::sin(a) * box.height() / 2);
}

void circle(QPainter& p) {
    const QRectF box(9, 9, 32, 32);
    polygonWithPoints(p, {{9, 9}, {41, 9}, {41, 41}, {9, 41}}, true);
    setPen(p, ink, stroke);
    p.drawEllipse(box);
}

void arc(QPainter& p) {
    const QRectF box(7, 14, 36, 36);
    polygonWithPoints(p, {{7, 32}, {7, 14}, {43, 14}, {43, 32}});
    setPen(p, ink, stroke);
    p.drawPath(ellipseArc(box, 0, 180));
}

void square(QPainter& p) {
    setPen(p, ink, stroke);
    p.drawRect(QRectF(10, 10, 30, 30));
    for (QPointF q : {QPointF(10, 10), QPointF(40, 10), QPointF(40, 40), QPointF(10, 40)})
        dot(p, q);
}

void freeForm(QPainter& p) {
    const std::vector<QPointF> points = {{6, 40}, {14, 8}, {30, 44}, {44, 10}};
    polygonWithPoints(p, points);
    QPainterPath path(points[0]);
    path.cubicTo(points[1], points[2], points[3]);
    setPen(p, ink, stroke);
    p.drawPath(path);
    for (const QPointF& q : points)
        dot(p, q);
}

void sphere(QPainter& p) {
    const QRectF outline(7, 7, 36, 36);
    setPen(p, guide, 1.4);
    p.drawPath(ellipseArc(QRectF(7, 19, 36, 12), 0, 180));  // back of the equator
    p.drawPath(ellipseArc(QRectF(19, 7, 12, 36), 90, 180)); // back of the meridian
    setPen(p, ink, stroke);
    p.drawEllipse(outline);
    p.drawPath(ellipseArc(QRectF(7, 19, 36, 12), 180, 180));
    p.drawPath(ellipseArc(QRectF(19, 7, 12, 36), 270, 180));
}

void cylinder(QPainter& p) {
    const QRectF top(10, 6, 30, 10), bottom(10, 34, 30, 10);
    setPen(p, guide, 1.4, Qt::DashLine);
    p.drawPath(ellipseArc(bottom, 0, 180));
    setPen(p, ink, stroke);
    p.drawEllipse(top);
    p.drawPath(ellipseArc(bottom, 180, 180));
    p.drawLine(QPointF(10, 11), QPointF(10, 39));
    p.drawLine(QPointF(40, 11), QPointF(40, 39));
}

void cube(QPainter& p) {
    const QPointF d(10, -9); // depth offset of the back face
    const QRectF front(7, 17, 26, 26);
    setPen(p, guide, 1.4, Qt::DashLine);
    p.drawLine(front.bottomLeft() + d, front.topLeft() + d);
    p.drawLine(front.bottomLeft() + d, front.bottomRight() + d);
    p.drawLine(front.bottomLeft() + d, front.bottomLeft());
    setPen(p, ink, stroke);
    p.drawRect(front);
    p.drawLine(front.topLeft(), front.topLeft() + d);
    p.drawLine(front.topRight(), front.topRight() + d);
    p.drawLine(front.bottomRight(), front.bottomRight() + d);
    p.drawLine(front.topLeft() + d, front.topRight() + d);
    p.drawLine(front.topRight() + d, front.bottomRight() + d);
}

void revolution(QPainter& p) {
    setPen(p, guide, 1.4, Qt::DashDotLine);
    p.drawLine(QPointF(25, 3), QPointF(25, 47)); // the axis
    // A vase: the profile on both sides of the axis and rings where it turns.
    QPainterPath right(QPointF(25 + 7, 44));
    right.cubicTo(QPointF(25 + 20, 36), QPointF(25 + 4, 22), QPointF(25 + 12, 10));
    QTransform mirror(-1, 0, 0, 1, 50, 0);
    setPen(p, ink, stroke);
    p.drawPath(right);
    p.drawPath(mirror.map(right));
    setPen(p, ink, 1.6);
    p.drawEllipse(QRectF(13, 7, 24, 6));
    p.drawEllipse(QRectF(18, 41, 14, 5));
    // The sweep around the axis.
    const QRectF sweep(8, 22, 34, 10);
    setPen(p, highlight, 2.0);
    p.drawPath(ellipseArc(sweep, 200, 250));
    arrowHead(p, onEllipse(sweep, 90), 180, highlight, 6.5);
}

void coons(QPainter& p) {
    // Four boundary curves and the patch lines blending them.
    const QPointF a(7, 12), b(43, 7), c(42, 43), d(8, 38);
    auto edge = [](QPointF from, QPointF to, QPointF bulge) {
        QPainterPath path(from);
        path.quadTo((from + to) / 2 + bulge, to);
        return path;
    };
    const QPointF bulgeTop(0, 7), bulgeRight(-6, 0), bulgeBottom(0, 6), bulgeLeft(6, 0);
    setPen(p, guide, 1.2);
    for (int i = 1; i < 4; ++i) {
        const double t = i / 4.0;
        const double bend = 4.0 * t * (1 - t); // the bulge fades towards the opposite side
        p.drawPath(
            edge(a + (d - a) * t, b + (c - b) * t, bulgeTop * (1 - t) + bulgeBottom * t + QPointF(0, bend)));
        p.drawPath(edge(a + (b - a) * t, d + (c - d) * t, bulgeLeft * (1 - t) + bulgeRight * t));
    }
    setPen(p, ink, stroke);
    p.drawPath(edge(a, b, bulgeTop));
    p.drawPath(edge(b, c, bulgeRight));
    p.drawPath(edge(d, c, bulgeBottom));
    p.drawPath(edge(a, d, bulgeLeft));
    for (QPointF q : {a, b, c, d})
        dot(p, q);
}

void extrude(QPainter& p) {
    auto wave = [](QPointF at) {
        QPainterPath path(at);
        path.cubicTo(at + QPointF(8, -10), at + QPointF(16, 10), at + QPointF(26, 0));
        return path;
    };
    const QPointF base(5, 40), lift(14, -24);
    setPen(p, guide, 1.3);
    for (int i = 0; i <= 4; ++i) {
        const QPointF on = wave(base).pointAtPercent(i / 4.0);
        p.drawLine(on, on + lift);
    }
    setPen(p, ink, stroke);
    p.drawPath(wave(base));
    p.drawPath(wave(base + lift));
    arrow(p, QPointF(8, 30), QPointF(8 + lift.x() * 0.6, 30 + lift.y() * 0.6), highlight);
}

const std::vector<QPointF> editPolygon = {{6, 38}, {16, 12}, {34, 40}, {44, 14}};

void insertPoint(QPainter& p) {
    polygonWithPoints(p, editPolygon);
    const QPointF added = (editPolygon[1] + editPolygon[2]) / 2;
    dot(p, added, highlight, 4.0);
    setPen(p, highlight, 2.4);
    const QPointF plus(35, 9);
    p.drawLine(plus - QPointF(5, 0), plus + QPointF(5, 0));
    p.drawLine(plus - QPointF(0, 5), plus + QPointF(0, 5));
}

void editPoint(QPainter& p) {
    polygonWithPoints(p, editPolygon);
    const QPointF picked = editPolygon[2];
    setPen(p, highlight, 2.0);
    p.drawEllipse(picked, 6.5, 6.5);
    dot(p, picked, highlight, 3.5);
    arrow(p, picked + QPointF(-3, -9), QPointF(20, 28) + QPointF(-4, -6), highlight);
}

void deletePoint(QPainter& p) {
    polygonWithPoints(p, editPolygon);
    const QPointF gone = editPolygon[2];
    setPen(p, point, 3.0);
    p.drawLine(gone + QPointF(-6, -6), gone + QPointF(6, 6));
    p.drawLine(gone + QPointF(-6, 6), gone + QPointF(6, -6));
}

void translate(QPainter& p) {
    const QPointF c(25, 25);
    for (QPointF to : {QPointF(25, 4), QPointF(46, 25), QPointF(25, 46), QPointF(4, 25)})
        arrow(p, c, to);
    dot(p, c, ink, 3.0);
}

void scale(QPainter& p) {
    setPen(p, guide, 1.4, Qt::DashLine);
    p.drawRect(QRectF(6, 6, 38, 38));
    setPen(p, ink, stroke);
    p.drawRect(QRectF(6, 26, 18, 18));
    arrow(p, QPointF(20, 30), QPointF(42, 8), highlight);
}

void rotate(QPainter& p) {
    const QRectF box(9, 9, 32, 32);
    setPen(p, ink, stroke);
    p.drawPath(ellipseArc(box, 120, -290));
    // Going clockwise on screen the tangent at angle a points along (sin a, cos a), y down.
    const double end = (120.0 - 290.0) * M_PI / 180.0;
    const double heading = std::atan2(std::cos(end), std::sin(end)) * 180.0 / M_PI;
    arrowHead(p, onEllipse(box, 120.0 - 290.0), heading, ink, 9.0);
    dot(p, box.center(), guide, 2.5);
}

struct Icon {
    const char* name;
    std::function<void(QPainter&)> draw;
};
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons <data folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]) + "/icons");
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }
    const std::vector<Icon> icons = {
        {"ncircle", circle},       {"narc", arc},
        {"nsquare", square},       {"nfform", freeForm},
        {"nsphere", sphere},       {"ncylinder", cylinder},
        {"ncube", cube},           {"rev", revolution},
        {"coons", coons},          {"extrude", extrude},
        {"insertcp", insertPoint}, {"editcp", editPoint},
        {"deletecp", deletePoint}, {"translate", translate},
        {"scale", scale},          {"rotate", rotate},
    };
    for (const Icon& icon : icons) {
        QImage picture(iconSize, iconSize, QImage::Format_RGB32);
        picture.fill(background);
        {
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            icon.draw(painter);
        }
        const QString path = folder.filePath(QString(icon.name) + ".jpg");
        if (!picture.save(path, "JPG", 95)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    std::printf("wrote %zu icons to %s\n", icons.size(), qPrintable(folder.path()));
    return 0;
}
