// The program's icon, for the desktop entry: a sail over a compass rose. One table of shapes, on a
// 256-unit square, is written both as the scalable SVG and, painted with QPainter, as the PNG sizes
// of the icon theme. Usage: app_icon FOLDER SIZE...; writes FOLDER/scalable/apps/corvelnmea.svg and
// FOLDER/NxN/apps/corvelnmea.png for each size N (the layout of share/icons/hicolor).
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kSide = 256;  // the table's units

// A disc (radius > 0, path empty) or a path of absolute M, L, Q and Z commands, SVG's syntax with
// the numbers separated by spaces. An empty colour is no fill or no outline.
struct Shape {
    double cx, cy, radius;
    std::string_view path;
    std::string_view fill;
    std::string_view stroke;
    double strokeWidth;
};

// clang-format off
constexpr Shape kShapes[] = {
    // The dial and its ring.
    {128, 128, 120, "", "#17365d", "", 0},
    {128, 128, 100, "", "", "#8fb3d9", 5},
    // The rose: north in red, the other cardinal points, then the intercardinal ones.
    {0, 0, 0, "M 128 14 L 142 128 L 114 128 Z", "#e4572e", "", 0},
    {0, 0, 0, "M 242 128 L 128 142 L 128 114 Z", "#8fb3d9", "", 0},
    {0, 0, 0, "M 128 242 L 114 128 L 142 128 Z", "#8fb3d9", "", 0},
    {0, 0, 0, "M 14 128 L 128 114 L 128 142 Z", "#8fb3d9", "", 0},
    {0, 0, 0, "M 179 77 L 135 135 L 121 121 Z M 179 179 L 121 135 L 135 121 Z", "#4f78a6", "", 0},
    {0, 0, 0, "M 77 179 L 121 121 L 135 135 Z M 77 77 L 135 121 L 121 135 Z", "#4f78a6", "", 0},
    // The jib, the mainsail and the mast.
    {0, 0, 0, "M 122 54 L 122 182 L 66 182 Q 92 118 122 54 Z", "#dde7f2", "#17365d", 4},
    {0, 0, 0, "M 134 40 L 134 182 L 198 182 Q 182 102 134 40 Z", "#ffffff", "#17365d", 4},
    {0, 0, 0, "M 126 34 L 130 34 L 130 190 L 126 190 Z", "#17365d", "", 0},
    // The hull.
    {0, 0, 0, "M 50 190 L 206 190 Q 198 214 170 218 L 90 218 Q 58 214 50 190 Z", "#f2b33d", "#17365d", 4},
};
// clang-format on

QPainterPath PathOf(std::string_view text) {
    QPainterPath path;
    std::istringstream in{std::string(text)};
    std::string command;
    while (in >> command) {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        if (command == "M" && in >> x1 >> y1) {
            path.moveTo(x1, y1);
        } else if (command == "L" && in >> x1 >> y1) {
            path.lineTo(x1, y1);
        } else if (command == "Q" && in >> x1 >> y1 >> x2 >> y2) {
            path.quadTo(x1, y1, x2, y2);
        } else if (command == "Z") {
            path.closeSubpath();
        }
    }
    return path;
}

QColor ColourOf(std::string_view text) { return QColor(QString::fromUtf8(text.data(), qsizetype(text.size()))); }

std::string Svg() {
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kSide << "\" height=\"" << kSide
        << "\" viewBox=\"0 0 " << kSide << ' ' << kSide << "\">\n";
    for (const Shape& s : kShapes) {
        if (s.path.empty()) {
            out << "  <circle cx=\"" << s.cx << "\" cy=\"" << s.cy << "\" r=\"" << s.radius << '"';
        } else {
            out << "  <path d=\"" << s.path << '"';
        }
        out << " fill=\"" << (s.fill.empty() ? "none" : s.fill) << '"';
        if (!s.stroke.empty()) {
            out << " stroke=\"" << s.stroke << "\" stroke-width=\"" << s.strokeWidth << "\" stroke-linejoin=\"round\"";
        }
        out << "/>\n";
    }
    out << "</svg>\n";
    return out.str();
}

QImage Png(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(double(size) / kSide, double(size) / kSide);
    for (const Shape& s : kShapes) {
        p.setBrush(s.fill.empty() ? QBrush(Qt::NoBrush) : QBrush(ColourOf(s.fill)));
        if (s.stroke.empty()) {
            p.setPen(Qt::NoPen);
        } else {
            p.setPen(QPen(ColourOf(s.stroke), s.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        }
        if (s.path.empty()) {
            p.drawEllipse(QPointF(s.cx, s.cy), s.radius, s.radius);
        } else {
            p.drawPath(PathOf(s.path));
        }
    }
    p.end();
    return image;
}

bool Fail(const QString& path) {
    std::fprintf(stderr, "app_icon: cannot write %s\n", qPrintable(path));
    return false;
}

bool WriteIcons(const QString& folder, const std::vector<int>& sizes) {
    const QString svgFolder = folder + QStringLiteral("/scalable/apps");
    const QString svgPath = svgFolder + QStringLiteral("/corvelnmea.svg");
    std::ofstream svg;
    if (QDir().mkpath(svgFolder)) svg.open(svgPath.toStdString(), std::ios::binary);
    if (!(svg << Svg()) || !(svg.close(), svg)) return Fail(svgPath);
    for (const int size : sizes) {
        const QString pngFolder = folder + QStringLiteral("/%1x%1/apps").arg(size);
        const QString pngPath = pngFolder + QStringLiteral("/corvelnmea.png");
        if (!QDir().mkpath(pngFolder) || !Png(size).save(pngPath)) return Fail(pngPath);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    const bool sizesValid = std::all_of(sizes.begin(), sizes.end(), [](int n) { return n >= 1 && n <= 1024; });
    if (argc < 2 || !sizesValid) {
        std::fprintf(stderr, "usage: app_icon FOLDER SIZE... (sizes of 1 to 1024 pixels)\n");
        return 2;
    }
    return WriteIcons(QString::fromLocal8Bit(argv[1]), sizes) ? 0 : 1;
}
