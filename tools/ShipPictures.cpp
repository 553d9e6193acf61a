// The slide show's pictures of sailing boats, painted in code: eight marine scenes of 400 x 547
// pixels (a sloop close-hauled in a fresh breeze, a ketch at sunset, a racing yacht under spinnaker,
// a catamaran on a lagoon, a schooner under full sail, a dinghy in light air by a lighthouse, a
// yacht at night under the moon, a fleet rounding a mark). Each boat is a small 3D model (hull
// stations, cambered sails, spars and rigging) heeled by the wind, turned and projected, its faces
// lit and drawn far to near, over a painted sky and sea with its reflection. Fixed seeds: running
// the tool again writes the same files. Usage: ship_pictures FOLDER (writes FOLDER/NN_name.jpg).
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 547;
constexpr double kPi = 3.14159265358979323846;

double Rad(double degrees) { return degrees * kPi / 180.0; }
double Mix(double a, double b, double t) { return a + (b - a) * t; }
double Smooth(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Deterministic numbers: the Mersenne twister's output is the same everywhere, the scaling is ours.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : engine_(seed) {}
    double Uniform(double low, double high) { return low + (high - low) * (engine_() / 4294967296.0); }
    bool Chance(double p) { return Uniform(0, 1) < p; }

private:
    std::mt19937 engine_;
};

QColor Blend(const QColor& a, const QColor& b, double t, int alpha = 255) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(Mix(a.redF(), b.redF(), t)),
                            static_cast<float>(Mix(a.greenF(), b.greenF(), t)),
                            static_cast<float>(Mix(a.blueF(), b.blueF(), t)), static_cast<float>(alpha / 255.0));
}

QColor WithAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

// ---------------------------------------------------------------- vectors

struct V3 {
    double x = 0, y = 0, z = 0;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator*(V3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Length(V3 a) { return std::sqrt(Dot(a, a)); }
V3 Unit(V3 a) {
    const double l = Length(a);
    return l > 0 ? a * (1 / l) : V3{0, 0, 1};
}
V3 Lerp(V3 a, V3 b, double t) { return a + (b - a) * t; }

// A smooth curve through (t, value) keys: cubic Hermite with Catmull-Rom slopes, flat at the ends.
class Curve {
public:
    Curve(std::initializer_list<std::pair<double, double>> keys) : keys_(keys) {}
    double operator()(double t) const {
        if (t <= keys_.front().first) return keys_.front().second;
        if (t >= keys_.back().first) return keys_.back().second;
        std::size_t i = 1;
        while (keys_[i].first < t) ++i;
        const auto slope = [&](std::size_t k) {
            if (k == 0 || k + 1 == keys_.size()) return 0.0;
            return (keys_[k + 1].second - keys_[k - 1].second) / (keys_[k + 1].first - keys_[k - 1].first);
        };
        const double t0 = keys_[i - 1].first, t1 = keys_[i].first, h = t1 - t0, s = (t - t0) / h;
        const double s2 = s * s, s3 = s2 * s;
        return (2 * s3 - 3 * s2 + 1) * keys_[i - 1].second + (s3 - 2 * s2 + s) * h * slope(i - 1) +
               (-2 * s3 + 3 * s2) * keys_[i].second + (s3 - s2) * h * slope(i);
    }

private:
    std::vector<std::pair<double, double>> keys_;
};

// ---------------------------------------------------------------- the boat model

// Boat axes: x forward, y to port, z up, in metres; the origin on the waterline amidships.
struct Hull {
    double length = 10, beam = 3.4, freeboard = 1.0, draft = 0.9;
    double sideOffset = 0;  // a catamaran's hulls sit at +-half their spacing
    QColor topsides, stripe, deck;
    // Shapes along the hull, from the transom (0) to the stem (1): half-beam and sheer as fractions
    // of half the beam and of the freeboard, the bottom line as a fraction of the draft (negative
    // below the water; above 0 it rises out of the water).
    Curve halfBeam{{0, 0.78}, {0.3, 0.98}, {0.5, 1}, {0.75, 0.82}, {0.9, 0.45}, {1, 0}};
    Curve sheer{{0, 0.95}, {0.55, 0.84}, {1, 1.22}};
    Curve bottom{{0, 0.12}, {0.22, -0.55}, {0.5, -1}, {0.75, -0.7}, {0.9, 0}, {1, 1.1}};
    bool bottomIsFreeboard = false;  // the bottom line's positive part is measured in freeboards
};

// A coachroof (or a catamaran's bridge deck): its sides lean in, with two windows each side.
struct Cabin {
    double fromX = 0, toX = 0, halfWidth = 0.5, bottom = 0, top = 0.5, y = 0;
    QColor wall{0xF2, 0xF0, 0xEA};
    bool windows = true;
};

struct Sail {
    // Corners: the luff runs from tack to head, the leech from clew to peak (peak = head for a
    // triangular sail, the gaff's end for a gaff sail).
    V3 tack, head, clew, peak;
    double camber = 0.1;        // depth of the curve as a fraction of the chord
    V3 bulge{};                 // the curve's direction when not to leeward (a spinnaker's is forward)
    double leewardSign = -1;    // -1: the leeward side is starboard (-y)
    double roach = 0.06;        // the leech bows out by this fraction of the chord
    std::vector<QColor> bands;  // colours of the panels from luff to leech (one colour: plain)
    int seams = 7;
};

struct Spar {
    V3 a, b;
    double width = 0.12;  // metres
    QColor colour;
};

struct NavLight {
    V3 at;
    V3 facing;  // the middle of its sector, horizontal, in boat axes
    double halfSector = 180;
    QColor colour;
};

struct Boat {
    std::vector<Hull> hulls;
    std::vector<Cabin> cabins;
    std::vector<Sail> sails;
    std::vector<Spar> spars;
    std::vector<Spar> rigging;
    std::vector<NavLight> lights;
    V3 flagAt{};
    V3 flagTo{};  // the burgee streams this way (horizontal, boat axes); none when zero
    QColor flagColour{0xC0, 0x20, 0x20};
    QColor windows{0x20, 0x28, 0x30};
    double heel = 0;     // degrees, positive to starboard
    double heading = 0;  // degrees: 0 bow to the right, 90 bow away from the viewer
};

// How a boat is seen: where its waterline centre falls, pixels per metre, the light.
struct Placement {
    QPointF water;
    double scale = 20;
};

struct Lighting {
    V3 towardLight{-0.4, 0.5, 0.75};  // world axes: x right, y away from the viewer, z up
    QColor tint{255, 255, 255};
    double ambient = 0.45;
    double elevation = 9;  // degrees the viewer looks down
};

// One flat piece to draw: a face or a line, at its distance from the viewer.
struct Piece {
    QPolygonF shape;
    double depth = 0;
    QColor fill;
    QPen pen = Qt::NoPen;
    bool line = false;
};

class Projector {
public:
    Projector(const Boat& boat, const Placement& at, const Lighting& light, bool mirrored)
        : at_(at), light_(light), mirrored_(mirrored) {
        const double heel = Rad(boat.heel), yaw = Rad(boat.heading), e = Rad(light.elevation);
        ch_ = std::cos(heel), sh_ = std::sin(heel), cy_ = std::cos(yaw), sy_ = std::sin(yaw);
        ce_ = std::cos(e), se_ = std::sin(e);
    }
    // Boat axes to world axes: heel about the boat's length, then the heading.
    V3 World(V3 p) const {
        const double y = p.y * ch_ - p.z * sh_, z = p.y * sh_ + p.z * ch_;
        return {p.x * cy_ - y * sy_, p.x * sy_ + y * cy_, z};
    }
    V3 WorldDirection(V3 d) const { return World(d); }
    QPointF Screen(V3 w) const {
        const double z = mirrored_ ? -w.z : w.z;
        return {at_.water.x() + at_.scale * w.x, at_.water.y() - at_.scale * (z * ce_ + w.y * se_)};
    }
    double Depth(V3 w) const { return w.y * ce_ - (mirrored_ ? -w.z : w.z) * se_; }
    V3 TowardViewer() const { return {0, -ce_, se_}; }
    double Scale() const { return at_.scale; }
    // The colour of a face of normal `n` (world axes): diffuse light, both sides when `twoSided`.
    QColor Lit(const QColor& base, V3 n, bool twoSided) const {
        double d = Dot(Unit(n), Unit(light_.towardLight));
        d = twoSided ? std::abs(d) : std::max(0.0, d);
        const double k = light_.ambient + (1 - light_.ambient) * d;
        const auto channel = [&](double c, double tint) { return std::clamp(c * k * tint, 0.0, 1.0); };
        return QColor::fromRgbF(static_cast<float>(channel(base.redF(), light_.tint.redF())),
                                static_cast<float>(channel(base.greenF(), light_.tint.greenF())),
                                static_cast<float>(channel(base.blueF(), light_.tint.blueF())), base.alphaF());
    }

private:
    Placement at_;
    Lighting light_;
    bool mirrored_;
    double ch_, sh_, cy_, sy_, ce_, se_;
};

// Keeps the part of a polygon at or above the water (world z >= 0).
std::vector<V3> AboveWater(const std::vector<V3>& poly) {
    std::vector<V3> out;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const V3 a = poly[i], b = poly[(i + 1) % poly.size()];
        if (a.z >= 0) out.push_back(a);
        if ((a.z >= 0) != (b.z >= 0)) out.push_back(Lerp(a, b, a.z / (a.z - b.z)));
    }
    return out;
}

class BoatPainter {
public:
    BoatPainter(const Boat& boat, const Placement& at, const Lighting& light, bool mirrored)
        : boat_(boat), view_(boat, at, light, mirrored), mirrored_(mirrored) {
        for (const Hull& h : boat_.hulls) AddHull(h);
        for (const Cabin& c : boat_.cabins) AddCabin(c);
        for (const Sail& s : boat_.sails) AddSail(s);
        for (const Spar& s : boat_.spars) AddSpar(s, false);
        for (const Spar& s : boat_.rigging) AddSpar(s, true);
        AddFlag();
        std::stable_sort(pieces_.begin(), pieces_.end(),
                         [](const Piece& a, const Piece& b) { return a.depth > b.depth; });
    }

    void Paint(QPainter& p) const {
        for (const Piece& piece : pieces_) {
            if (piece.line) {
                p.setPen(piece.pen);
                p.drawPolyline(piece.shape);
            } else {
                p.setPen(piece.pen);
                p.setBrush(piece.fill);
                p.drawPolygon(piece.shape);
            }
        }
        if (!mirrored_) PaintLights(p);
    }

    // The hull's waterline on the side facing the viewer, on the screen, from the stern to the bow.
    const std::vector<QPointF>& NearWaterline() const { return waterline_; }
    const Projector& View() const { return view_; }

private:
    // A face in boat axes: clipped at the water, culled when it turns away (unless two-sided), lit.
    void AddFace(const std::vector<V3>& boatPoints, const QColor& colour, V3 outward, bool twoSided,
                 const QPen& seam = Qt::NoPen, double depthBias = 0) {
        std::vector<V3> world;
        world.reserve(boatPoints.size());
        for (const V3& b : boatPoints) world.push_back(view_.World(b));
        const V3 normal = view_.WorldDirection(outward);
        if (!twoSided && Dot(normal, view_.TowardViewer()) < 0) return;
        world = AboveWater(world);
        if (world.size() < 3) return;
        Piece piece;
        double depth = 0;
        for (const V3& w : world) {
            piece.shape << view_.Screen(w);
            depth += view_.Depth(w);
        }
        piece.depth = depth / static_cast<double>(world.size()) + depthBias;
        piece.fill = view_.Lit(colour, normal, twoSided);
        // The face's own colour as its outline closes the hairlines between neighbouring faces.
        piece.pen = seam.style() == Qt::NoPen ? QPen(piece.fill, 0.9) : seam;
        pieces_.push_back(piece);
    }

    void AddLine(V3 a, V3 b, const QPen& pen, double depthBias = 0) {
        const V3 wa = view_.World(a), wb = view_.World(b);
        if (wa.z < 0 && wb.z < 0) return;
        Piece piece;
        piece.line = true;
        piece.shape << view_.Screen(wa) << view_.Screen(wb);
        piece.depth = (view_.Depth(wa) + view_.Depth(wb)) / 2 + depthBias;
        piece.pen = pen;
        pieces_.push_back(piece);
    }

    void AddHull(const Hull& h) {
        constexpr int kStations = 28, kSection = 6;
        // Points of the section at `t` (0 transom, 1 stem), from the sheer (k = 0) to the keel.
        const auto point = [&](double t, int k, double side) {
            const double x = (t - 0.5) * h.length;
            const double b = h.beam / 2 * h.halfBeam(t);
            const double zs = h.freeboard * h.sheer(t);
            const double bottom = h.bottom(t);
            const double zb = bottom < 0 ? bottom * h.draft : bottom * (h.bottomIsFreeboard ? h.freeboard : h.draft);
            // The first band (the sheer stripe) is narrow, the others share the rest of the section.
            const double a = kPi / 2 * (k == 0 ? 0 : 0.05 + 0.95 * (k - 1) / (kSection - 1));
            return V3{x, h.sideOffset + side * b * std::pow(std::cos(a), 0.6),
                      std::min(zs, zs - (zs - zb) * std::sin(a))};
        };
        const QColor stripe = h.stripe;
        for (int side : {1, -1}) {
            for (int i = 0; i < kStations; ++i) {
                const double t0 = static_cast<double>(i) / kStations, t1 = static_cast<double>(i + 1) / kStations;
                for (int k = 0; k < kSection; ++k) {
                    std::vector<V3> quad{point(t0, k, side), point(t1, k, side), point(t1, k + 1, side),
                                         point(t0, k + 1, side)};
                    V3 n = Cross(quad[2] - quad[0], quad[3] - quad[1]);
                    const V3 mid = (quad[0] + quad[2]) * 0.5;
                    if (Dot(n, V3{0, mid.y - h.sideOffset, mid.z + h.draft * 0.3}) < 0) n = n * -1;
                    if (Length(n) < 1e-9) continue;
                    const QColor colour = k == 0 ? stripe : h.topsides;
                    AddFace(quad, colour, n, false);
                }
                // The deck between the two sheers.
                if (side == 1) {
                    std::vector<V3> deck{point(t0, 0, 1), point(t1, 0, 1), point(t1, 0, -1), point(t0, 0, -1)};
                    AddFace(deck, h.deck, {0, 0, 1}, false, Qt::NoPen, -0.01);
                }
            }
            // Where the hull meets the water on this side, for the foam.
            std::vector<QPointF> line;
            for (int i = 0; i <= kStations; ++i) {
                const double t = static_cast<double>(i) / kStations;
                for (int k = 0; k < kSection; ++k) {
                    const V3 a = view_.World(point(t, k, side)), b = view_.World(point(t, k + 1, side));
                    if ((a.z >= 0) != (b.z >= 0)) {
                        line.push_back(view_.Screen(Lerp(a, b, a.z / (a.z - b.z))));
                        break;
                    }
                }
            }
            const V3 outward = view_.WorldDirection({0, static_cast<double>(side), 0});
            if (Dot(outward, view_.TowardViewer()) > 0 && line.size() > waterline_.size()) waterline_ = line;
        }
        // The transom.
        std::vector<V3> transom;
        for (int k = 0; k <= kSection; ++k) transom.push_back(point(0, k, 1));
        for (int k = kSection; k >= 0; --k) transom.push_back(point(0, k, -1));
        AddFace(transom, h.topsides.darker(115), {-1, 0, 0}, false);
    }

    void AddCabin(const Cabin& c) {
        const double x0 = c.fromX, x1 = c.toX, w0 = c.halfWidth, w1 = c.halfWidth * 0.75, z0 = c.bottom, z1 = c.top;
        const double slope = (z1 - z0) * 0.4;  // the front leans aft
        const auto at = [&](double x, double side, double z, double w) { return V3{x, c.y + side * w, z}; };
        for (double side : {1.0, -1.0}) {
            AddFace({at(x0, side, z0, w0), at(x1, side, z0, w0 * 0.85), at(x1 - slope, side, z1, w1 * 0.85),
                     at(x0 + 0.05, side, z1, w1)},
                    c.wall, {0, side, 0.3}, false);
            if (!c.windows) continue;
            // Two windows on each side, a little proud of the wall.
            for (double wx : {0.28, 0.64}) {
                const double xa = Mix(x0, x1, wx - 0.12), xb = Mix(x0, x1, wx + 0.12);
                const double za = Mix(z0, z1, 0.3), zb = Mix(z0, z1, 0.68);
                const double wa = Mix(w0, w1, 0.3) + 0.03, wb = Mix(w0, w1, 0.68) + 0.03;
                AddFace({at(xa, side, za, wa), at(xb, side, za, wa), at(xb - slope * 0.3, side, zb, wb),
                         at(xa + slope * 0.1, side, zb, wb)},
                        boat_.windows, {0, side, 0.3}, false, QPen(boat_.windows, 0.5), -0.02);
            }
        }
        AddFace({at(x1, 1, z0, w0 * 0.85), at(x1, -1, z0, w0 * 0.85), at(x1 - slope, -1, z1, w1 * 0.85),
                 at(x1 - slope, 1, z1, w1 * 0.85)},
                c.wall, {1, 0, 0.5}, false);
        AddFace({at(x0, 1, z0, w0), at(x0, -1, z0, w0), at(x0 + 0.05, -1, z1, w1), at(x0 + 0.05, 1, z1, w1)}, c.wall,
                {-1, 0, 0.2}, false);
        AddFace({at(x0 + 0.05, 1, z1, w1), at(x1 - slope, 1, z1, w1 * 0.85), at(x1 - slope, -1, z1, w1 * 0.85),
                 at(x0 + 0.05, -1, z1, w1)},
                c.wall.darker(104), {0, 0, 1}, false, Qt::NoPen, -0.01);
    }

    void AddSail(const Sail& s) {
        constexpr int kAcross = 10, kUp = 14;
        const auto point = [&](double u, double v) {
            const V3 luff = Lerp(s.tack, s.head, v), leech = Lerp(s.clew, s.peak, v);
            V3 chord = leech - luff;
            const double width = Length(chord);
            V3 side = s.bulge;
            if (Length(side) == 0) {
                side = Unit(Cross(chord, {0, 0, 1}));
                if (side.y * s.leewardSign < 0) side = side * -1;
            }
            // The leech bows out (roach); the sail's curve is deepest a third of the way aft.
            const V3 roach = Unit(chord) * (s.roach * width * std::sin(kPi * v) * u * u);
            const double curve = 27.0 / 4.0 * u * (1 - u) * (1 - u) * 0.7 + 4 * u * (1 - u) * 0.3;
            return luff + chord * u + roach + side * (s.camber * width * curve);
        };
        for (int j = 0; j < kUp; ++j) {
            for (int i = 0; i < kAcross; ++i) {
                const double u0 = static_cast<double>(i) / kAcross, u1 = static_cast<double>(i + 1) / kAcross;
                const double v0 = static_cast<double>(j) / kUp, v1 = static_cast<double>(j + 1) / kUp;
                std::vector<V3> quad{point(u0, v0), point(u1, v0), point(u1, v1), point(u0, v1)};
                if (Length(quad[3] - quad[2]) < 1e-6) quad.erase(quad.begin() + 2);
                const V3 n = Cross(quad[1] - quad[0], quad.back() - quad[0]);
                QColor colour = s.bands.empty() ? QColor(0xF4, 0xF1, 0xE8)
                                                : s.bands[static_cast<std::size_t>(i) * s.bands.size() / kAcross];
                // The belly a shade deeper, the cloth a little brighter towards the leech and the head.
                colour = colour.darker(100 + static_cast<int>(12 * std::sin(kPi * (u0 + 0.05)) * (1 - 0.5 * v0)));
                colour = colour.lighter(100 + static_cast<int>(6 * u0 + 4 * v0));
                AddFace(quad, colour, n, true);
            }
        }
        // Panel seams and the edges, a shade darker than the cloth.
        const QPen seam(QColor(80, 80, 90, 60), std::max(0.5, view_.Scale() * 0.02));
        for (int k = 1; k < s.seams; ++k) {
            const double v = static_cast<double>(k) / s.seams;
            for (int i = 0; i < kAcross; ++i) {
                AddLine(point(static_cast<double>(i) / kAcross, v), point(static_cast<double>(i + 1) / kAcross, v),
                        seam, -0.02);
            }
        }
        const QPen edge(QColor(60, 60, 70, 110), std::max(0.6, view_.Scale() * 0.03));
        for (int j = 0; j < kUp; ++j) {
            const double v0 = static_cast<double>(j) / kUp, v1 = static_cast<double>(j + 1) / kUp;
            AddLine(point(1, v0), point(1, v1), edge, -0.02);
            AddLine(point(0, v0), point(0, v1), edge, -0.02);
        }
        for (int i = 0; i < kAcross; ++i) {
            AddLine(point(static_cast<double>(i) / kAcross, 0), point(static_cast<double>(i + 1) / kAcross, 0), edge,
                    -0.02);
        }
    }

    void AddSpar(const Spar& s, bool rigging) {
        constexpr int kPieces = 8;
        const QPen pen(s.colour, std::max(rigging ? 0.5 : 0.9, s.width * view_.Scale()), Qt::SolidLine, Qt::RoundCap);
        for (int i = 0; i < kPieces; ++i) {
            AddLine(Lerp(s.a, s.b, static_cast<double>(i) / kPieces),
                    Lerp(s.a, s.b, static_cast<double>(i + 1) / kPieces), pen, rigging ? 0.0 : -0.03);
        }
    }

    void AddFlag() {
        if (Length(boat_.flagTo) == 0) return;
        const V3 tip = boat_.flagAt + boat_.flagTo * 0.9;
        AddFace({boat_.flagAt, tip + V3{0, 0, -0.12}, boat_.flagAt + V3{0, 0, -0.35}}, boat_.flagColour, {0, 1, 0},
                true);
    }

    void PaintLights(QPainter& p) const {
        for (const NavLight& light : boat_.lights) {
            const V3 facing = view_.WorldDirection(light.facing), toward = view_.TowardViewer();
            const double cosine = Dot(Unit({facing.x, facing.y, 0}), Unit({toward.x, toward.y, 0}));
            if (light.halfSector < 180 && cosine < std::cos(Rad(light.halfSector))) continue;
            const QPointF c = view_.Screen(view_.World(light.at));
            const double r = std::max(4.0, view_.Scale() * 0.55);
            QRadialGradient glow(c, r);
            glow.setColorAt(0, WithAlpha(light.colour.lighter(160), 255));
            glow.setColorAt(0.15, WithAlpha(light.colour, 200));
            glow.setColorAt(1, WithAlpha(light.colour, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(glow);
            p.drawEllipse(c, r, r);
        }
    }

    const Boat& boat_;
    Projector view_;
    bool mirrored_;
    std::vector<Piece> pieces_;
    std::vector<QPointF> waterline_;
};

// ---------------------------------------------------------------- rigs

// How a boat sails: the side the wind comes from, the angle of the booms off the centreline, the
// heel, and the apparent wind's angle off the bow (for the burgee).
struct Trim {
    double windFromPort = 1;  // +1 wind on the port side (booms and heel to starboard), -1 starboard
    double boom = 12;         // degrees off the centreline
    double twist = 10;        // the head falls off this much more than the foot
    double heel = 15;
    double apparentWind = 35;
    double heading = 20;
};

// A point `length` aft of `from` swung `angle` degrees to leeward.
V3 Swung(V3 from, double length, double angle, const Trim& t) {
    const double a = Rad(angle);
    return from + V3{-length * std::cos(a), -t.windFromPort * length * std::sin(a), 0};
}

// A fore-and-aft sail: luff from `tack` to `head`, foot out to `clew`; the leech's top (`peak`)
// is the head, or the gaff's end for a gaff sail.
Sail ForeAndAft(V3 tack, V3 head, V3 clew, V3 peak, const Trim& t, double camber, QColor cloth) {
    Sail s;
    s.tack = tack;
    s.head = head;
    s.clew = clew;
    s.peak = peak;
    s.camber = camber;
    s.leewardSign = -t.windFromPort;
    s.bands = {cloth};
    return s;
}

// A sail set from a mast: the boom swung to leeward, the head twisted off a little more.
Sail MastSail(double mastX, double footZ, double headZ, double boomLength, const Trim& t, QColor cloth,
              double headWidth = 0) {
    const V3 tack{mastX, 0, footZ}, head{mastX, 0, headZ};
    const V3 clew = Swung(tack, boomLength, t.boom, t);
    const V3 peak = headWidth > 0 ? Swung(head, headWidth, t.boom + t.twist, t) : head;
    Sail s = ForeAndAft(tack, head, clew, peak, t, 0.09, cloth);
    if (headWidth == 0) s.head = s.peak = Swung(head, 0.01, t.boom + t.twist, t);
    return s;
}

// A headsail on a stay from `tack` to `head`, sheeted `footLength` aft at the boom angle.
Sail HeadSail(V3 tack, V3 head, double footLength, const Trim& t, QColor cloth) {
    Sail s = ForeAndAft(tack, head, Swung(tack + V3{0, 0, 0.15}, footLength, t.boom + 5, t), head, t, 0.11, cloth);
    s.roach = 0;
    return s;
}

V3 StreamDirection(const Trim& t) {
    const double a = Rad(t.apparentWind);
    return {-std::cos(a), -t.windFromPort * std::sin(a), 0};
}

const QColor kWire(40, 44, 52, 190);
const QColor kAlloy(0xC8, 0xCC, 0xD2);
const QColor kVarnish(0x9A, 0x6B, 0x3C);
const QColor kCloth(0xF4, 0xF1, 0xE8);

Hull YachtHull(double length, QColor topsides, QColor stripe) {
    Hull h;
    h.length = length;
    h.beam = length * 0.33;
    h.freeboard = length * 0.1;
    h.draft = length * 0.09;
    h.topsides = topsides;
    h.stripe = stripe;
    h.deck = QColor(0xE8, 0xE4, 0xDA);
    return h;
}

// Red to port, green to starboard at the bow, white astern: each seen only within its sector.
std::vector<NavLight> SideLights(double bowX, double sternX, double halfBeam, double z) {
    return {{{bowX, halfBeam, z}, {0.38, 0.92, 0}, 56.25, QColor(255, 40, 40)},
            {{bowX, -halfBeam, z}, {0.38, -0.92, 0}, 56.25, QColor(40, 255, 110)},
            {{sternX, 0, z}, {-1, 0, 0}, 67.5, QColor(255, 250, 230)}};
}

void AddBurgee(Boat& b, V3 masthead, double length, const Trim& t) {
    b.flagAt = masthead + V3{0, 0, length * 0.04};
    b.flagTo = StreamDirection(t) * (length * 0.06);
}

// A masthead sloop: mainsail on a boom, a genoa to the stem, a coachroof, standing rigging.
Boat Sloop(double length, const Trim& t, QColor topsides, QColor stripe, QColor main = kCloth, QColor jib = kCloth) {
    Boat b;
    b.heel = t.heel * t.windFromPort;
    b.heading = t.heading;
    b.hulls.push_back(YachtHull(length, topsides, stripe));
    const double L = length, deck = L * 0.09, mastX = L * 0.08, mastTop = L * 1.45, boomZ = deck + L * 0.12;
    b.cabins.push_back({-0.14 * L, 0.2 * L, 0.1 * L, deck * 0.85, deck + L * 0.05});
    const V3 masthead{mastX, 0, mastTop}, stem{L * 0.5, 0, L * 0.12};
    b.sails.push_back(MastSail(mastX, boomZ, mastTop - L * 0.04, L * 0.42, t, main, L * 0.05));
    b.sails.push_back(HeadSail(stem + V3{0, 0, 0.1}, Lerp(stem, masthead, 0.9), L * 0.55, t, jib));
    b.spars = {{{mastX, 0, deck}, masthead, L * 0.016, kAlloy},
               {{mastX, 0, boomZ}, b.sails[0].clew, L * 0.012, kAlloy}};
    b.rigging = {{stem, masthead, 0.02, kWire},
                 {{-L * 0.5, 0, L * 0.1}, masthead, 0.02, kWire},
                 {{mastX - 0.3, L * 0.15, deck}, masthead, 0.02, kWire},
                 {{mastX - 0.3, -L * 0.15, deck}, masthead, 0.02, kWire}};
    AddBurgee(b, masthead, L, t);
    return b;
}

// A ketch: a long classic hull, the main, a mizzen aft of it and a jib, spars of varnished wood.
Boat Ketch(double length, const Trim& t, QColor topsides, QColor stripe, QColor cloth) {
    Boat b = Sloop(length, t, topsides, stripe, cloth, cloth);
    const double L = length, deck = L * 0.09, mizzenX = -L * 0.3, top = L * 1.0, boomZ = deck + L * 0.1;
    b.hulls[0].sheer = Curve{{0, 1.05}, {0.55, 0.82}, {1, 1.3}};
    b.hulls[0].deck = QColor(0xC8, 0xA0, 0x70);
    b.sails.push_back(MastSail(mizzenX, boomZ, top, L * 0.25, t, cloth, L * 0.03));
    b.spars[0].colour = b.spars[1].colour = kVarnish;
    b.spars.push_back({{mizzenX, 0, deck}, {mizzenX, 0, top + L * 0.02}, L * 0.013, kVarnish});
    b.spars.push_back({{mizzenX, 0, boomZ}, b.sails.back().clew, L * 0.01, kVarnish});
    b.rigging.push_back({{mizzenX, 0, top}, {L * 0.08, 0, L * 1.3}, 0.02, kWire});
    return b;
}

// A racing yacht running under a spinnaker: the pole to windward, the sail blown out forward.
Boat SpinnakerYacht(double length, const Trim& t, QColor topsides, std::vector<QColor> kite) {
    Boat b = Sloop(length, t, topsides, QColor(0xF5, 0xF5, 0xF5));
    b.sails.pop_back();  // the genoa is down
    b.cabins[0].top = b.cabins[0].bottom + length * 0.03;
    const double L = length, mastX = L * 0.08, deck = L * 0.09, w = t.windFromPort;
    const V3 poleEnd{mastX + L * 0.2, w * L * 0.42, deck + L * 0.14};
    Sail s;
    s.tack = poleEnd;
    s.head = s.peak = {mastX + L * 0.1, 0, L * 1.4};
    s.clew = {mastX + L * 0.3, -w * L * 0.55, deck + L * 0.2};
    s.bulge = Unit({1, 0, 0.25});
    s.camber = 0.42;
    s.roach = 0.1;
    s.bands = std::move(kite);
    s.seams = 9;
    b.sails.push_back(s);
    b.spars.push_back({{mastX, 0, deck + L * 0.14}, poleEnd, L * 0.01, kAlloy});
    b.rigging.push_back({s.clew, {-L * 0.45, -w * L * 0.15, deck}, 0.015, kWire});
    return b;
}

// A cruising catamaran: two slim hulls, the bridge deck and its saloon, a square-top main.
Boat Catamaran(double length, const Trim& t, QColor topsides) {
    Boat b;
    b.heel = t.heel * t.windFromPort;
    b.heading = t.heading;
    const double L = length, spacing = L * 0.5, deck = L * 0.1;
    for (double side : {1.0, -1.0}) {
        Hull h = YachtHull(L, topsides, QColor(0x2A, 0x9D, 0xB0));
        h.beam = L * 0.11;
        h.freeboard = deck;
        h.draft = L * 0.05;
        h.sideOffset = side * spacing / 2;
        h.halfBeam = Curve{{0, 0.8}, {0.4, 1}, {0.8, 0.8}, {1, 0.05}};
        h.sheer = Curve{{0, 1}, {1, 1.08}};
        h.bottom = Curve{{0, 0.1}, {0.3, -0.8}, {0.6, -1}, {0.95, -0.3}, {1, 1.9}};
        b.hulls.push_back(h);
    }
    b.cabins.push_back(
        {-0.25 * L, 0.12 * L, spacing / 2 + 0.1, deck * 0.95, deck * 1.15, 0, QColor(0xEE, 0xEE, 0xEA), false});
    b.cabins.push_back({-0.22 * L, 0.08 * L, spacing * 0.32, deck * 1.15, deck * 1.7});
    const double mastX = L * 0.05, mastTop = L * 1.35, boomZ = deck * 1.9;
    const V3 masthead{mastX, 0, mastTop}, bridleBow{L * 0.42, 0, deck * 1.1};
    b.sails.push_back(MastSail(mastX, boomZ, mastTop - L * 0.02, L * 0.42, t, kCloth, L * 0.14));
    b.sails.push_back(HeadSail(bridleBow, Lerp(bridleBow, masthead, 0.85), L * 0.36, t, kCloth));
    b.spars = {{{mastX, 0, deck * 1.15}, masthead, L * 0.014, kAlloy},
               {{mastX, 0, boomZ}, b.sails[0].clew, L * 0.011, kAlloy}};
    b.rigging = {{bridleBow, masthead, 0.02, kWire},
                 {{L * 0.5, spacing / 2, deck * 1.1}, bridleBow, 0.02, kWire},
                 {{L * 0.5, -spacing / 2, deck * 1.1}, bridleBow, 0.02, kWire},
                 {{mastX - 0.5, spacing / 2, deck}, masthead, 0.02, kWire},
                 {{mastX - 0.5, -spacing / 2, deck}, masthead, 0.02, kWire}};
    AddBurgee(b, masthead, L, t);
    return b;
}

// A two-masted gaff schooner: bowsprit, three headsails, gaff fore and main, topsails.
Boat Schooner(double length, const Trim& t) {
    Boat b;
    b.heel = t.heel * t.windFromPort;
    b.heading = t.heading;
    Hull h = YachtHull(length, QColor(0x16, 0x1A, 0x1E), QColor(0xD4, 0xAF, 0x37));
    h.beam = length * 0.25;
    h.freeboard = length * 0.08;
    h.sheer = Curve{{0, 1.15}, {0.5, 0.85}, {1, 1.45}};
    h.bottom = Curve{{0, 0.25}, {0.12, 0}, {0.3, -0.8}, {0.55, -1}, {0.8, -0.6}, {0.88, 0}, {1, 1.2}};
    h.bottomIsFreeboard = true;
    h.halfBeam = Curve{{0, 0.55}, {0.35, 0.97}, {0.5, 1}, {0.75, 0.8}, {0.9, 0.4}, {1, 0}};
    h.deck = QColor(0xC9, 0xA8, 0x78);
    b.hulls.push_back(h);
    const double L = length, deck = L * 0.08;
    b.cabins.push_back({-0.2 * L, -0.02 * L, 0.07 * L, deck * 0.9, deck + L * 0.03, 0, QColor(0xB0, 0x80, 0x50)});
    const QColor cloth(0xF0, 0xE6, 0xD0);
    const double foreX = L * 0.2, mainX = -L * 0.12, foreTop = L * 0.95, mainTop = L * 1.08;
    const V3 stem{L * 0.5, 0, deck * 1.4}, sprit{L * 0.78, 0, deck * 1.6};
    const auto gaffSail = [&](double mastX, double throatZ, double boomLength, double gaffLength) {
        const V3 tack{mastX, 0, deck + L * 0.07}, throat{mastX, 0, throatZ};
        const V3 clew = Swung(tack, boomLength, t.boom, t);
        V3 peak = Swung(throat, gaffLength * 0.85, t.boom + t.twist, t) + V3{0, 0, gaffLength * 0.5};
        b.sails.push_back(ForeAndAft(tack, throat, clew, peak, t, 0.08, cloth));
        b.spars.push_back({tack, clew, L * 0.012, kVarnish});
        b.spars.push_back({throat, peak, L * 0.01, kVarnish});
        return std::pair{throat, peak};
    };
    const auto [foreThroat, forePeak] = gaffSail(foreX, L * 0.62, L * 0.27, L * 0.22);
    const auto [mainThroat, mainPeak] = gaffSail(mainX, L * 0.7, L * 0.55, L * 0.34);
    // Topsails from the gaff to the topmast.
    b.sails.push_back(ForeAndAft(foreThroat, {foreX, 0, foreTop}, forePeak, {foreX, 0, foreTop}, t, 0.06, cloth));
    b.sails.push_back(ForeAndAft(mainThroat, {mainX, 0, mainTop}, mainPeak, {mainX, 0, mainTop}, t, 0.06, cloth));
    b.sails.push_back(HeadSail(stem, {foreX + 0.3, 0, L * 0.58}, L * 0.25, t, cloth));
    b.sails.push_back(HeadSail(Lerp(stem, sprit, 0.5), {foreX + 0.2, 0, L * 0.78}, L * 0.33, t, cloth));
    b.sails.push_back(HeadSail(sprit, {foreX + 0.1, 0, L * 0.9}, L * 0.36, t, cloth));
    for (const auto& [x, top] : {std::pair{foreX, foreTop}, std::pair{mainX, mainTop}}) {
        b.spars.push_back({{x, 0, deck}, {x, 0, top + L * 0.02}, L * 0.014, kVarnish});
        b.rigging.push_back({{x - 0.4, L * 0.12, deck}, {x, 0, top * 0.7}, 0.02, kWire});
        b.rigging.push_back({{x - 0.4, -L * 0.12, deck}, {x, 0, top * 0.7}, 0.02, kWire});
    }
    b.spars.push_back({stem, sprit, L * 0.012, kVarnish});
    b.rigging.push_back({sprit, {L * 0.45, 0, 0.05}, 0.02, kWire});
    b.rigging.push_back({{foreX, 0, foreTop}, {mainX, 0, mainTop}, 0.02, kWire});
    b.rigging.push_back({{mainX, 0, mainTop}, {-L * 0.5, 0, deck * 1.2}, 0.02, kWire});
    b.flagColour = QColor(0x1F, 0x4E, 0xA8);
    AddBurgee(b, {mainX, 0, mainTop}, L, t);
    return b;
}

// A dinghy: an open hull, one mast without stays, a sail on a boom, the helmsman sitting out.
Boat Dinghy(double length, const Trim& t, QColor topsides, QColor cloth) {
    Boat b;
    b.heel = t.heel * t.windFromPort;
    b.heading = t.heading;
    Hull h = YachtHull(length, topsides, topsides.lighter(130));
    h.beam = length * 0.4;
    h.freeboard = length * 0.1;
    h.draft = length * 0.04;
    h.sheer = Curve{{0, 0.9}, {0.5, 0.85}, {1, 1.1}};
    h.bottom = Curve{{0, 0.3}, {0.3, -0.9}, {0.6, -1}, {0.85, -0.5}, {1, 1.8}};
    h.halfBeam = Curve{{0, 0.8}, {0.45, 1}, {0.8, 0.75}, {1, 0}};
    h.deck = QColor(0xDD, 0xE4, 0xEA);
    b.hulls.push_back(h);
    const double L = length, mastX = L * 0.22, mastTop = L * 1.5, boomZ = L * 0.22;
    b.sails.push_back(MastSail(mastX, boomZ, mastTop, L * 0.7, t, cloth));
    b.spars = {{{mastX, 0, L * 0.08}, {mastX, 0, mastTop}, L * 0.02, kAlloy},
               {{mastX, 0, boomZ}, b.sails[0].clew, L * 0.016, kAlloy}};
    // The helmsman on the windward side: a life jacket and a head.
    const double w = t.windFromPort * h.beam * 0.45;
    b.cabins.push_back({-L * 0.18, -L * 0.06, L * 0.05, L * 0.1, L * 0.3, w, QColor(0xE8, 0x5A, 0x1C), false});
    b.cabins.push_back({-L * 0.15, -L * 0.09, L * 0.03, L * 0.3, L * 0.37, w, QColor(0xC6, 0x8E, 0x6A), false});
    return b;
}

// ---------------------------------------------------------------- sky and sea

struct SkyLook {
    std::vector<std::pair<double, QColor>> stops;  // from the top (0) to the horizon (1)
};

void PaintSky(QPainter& p, double horizon, const SkyLook& sky) {
    QLinearGradient g(0, 0, 0, horizon);
    for (const auto& [at, colour] : sky.stops) g.setColorAt(at, colour);
    p.fillRect(QRectF(0, 0, kWidth, horizon + 1), g);
}

void PaintSun(QPainter& p, QPointF centre, double radius, const QColor& core, const QColor& glow, double glowRadius) {
    QRadialGradient halo(centre, glowRadius);
    halo.setColorAt(0, WithAlpha(glow, 200));
    halo.setColorAt(0.25, WithAlpha(glow, 90));
    halo.setColorAt(1, WithAlpha(glow, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(centre, glowRadius, glowRadius);
    QRadialGradient disc(centre, radius);
    disc.setColorAt(0, core.lighter(115));
    disc.setColorAt(0.85, core);
    disc.setColorAt(1, WithAlpha(core, 0));
    p.setBrush(disc);
    p.drawEllipse(centre, radius, radius);
}

// A cumulus: a heap of puffs as one shape, lit from above and shaded towards its flat base, with
// a soft rim and a few brighter tops.
void PaintCloud(QPainter& p, QPointF base, double width, double height, const QColor& lit, const QColor& shade,
                Rng& rng) {
    QPainterPath heap;
    heap.setFillRule(Qt::WindingFill);  // overlapping puffs make one shape, not holes
    std::vector<std::pair<QPointF, double>> tops;
    const int puffs = 10 + static_cast<int>(width / 12);
    for (int i = 0; i < puffs; ++i) {
        const double u = rng.Uniform(-0.5, 0.5);
        const double rise = std::pow(std::cos(u * kPi), 1.5);
        const double r = height * (0.18 + 0.3 * rise) * rng.Uniform(0.7, 1.2);
        const QPointF c(base.x() + u * width, base.y() - r * 0.6 - height * 0.6 * rise * rng.Uniform(0.5, 1.0));
        heap.addEllipse(c, r * 1.2, r);
        tops.push_back({c, r});
    }
    heap = heap.simplified().intersected([&] {
        QPainterPath clip;
        clip.addRect(QRectF(base.x() - width, base.y() - height * 3, width * 2, height * 3));
        return clip;
    }());
    p.setPen(Qt::NoPen);
    QLinearGradient g(0, base.y() - height * 1.2, 0, base.y());
    g.setColorAt(0, lit);
    g.setColorAt(0.55, Blend(lit, shade, 0.35));
    g.setColorAt(1, shade);
    p.setBrush(g);
    p.drawPath(heap);
    p.setPen(Qt::NoPen);
    for (const auto& [c, r] : tops) {
        QRadialGradient shine(c + QPointF(-r * 0.2, -r * 0.4), r);
        shine.setColorAt(0, WithAlpha(lit, 110));
        shine.setColorAt(1, WithAlpha(lit, 0));
        p.setBrush(shine);
        p.drawEllipse(c + QPointF(-r * 0.2, -r * 0.4), r, r);
    }
}

// A long, thin cloud lit from below (sunset) or from above.
void PaintStreak(QPainter& p, QPointF centre, double length, double thickness, const QColor& body, const QColor& rim) {
    QPainterPath path;
    path.moveTo(centre.x() - length / 2, centre.y());
    path.cubicTo(centre.x() - length / 4, centre.y() - thickness, centre.x() + length / 5, centre.y() - thickness * 1.2,
                 centre.x() + length / 2, centre.y() - thickness * 0.1);
    path.cubicTo(centre.x() + length / 4, centre.y() + thickness * 0.5, centre.x() - length / 4,
                 centre.y() + thickness * 0.6, centre.x() - length / 2, centre.y());
    QLinearGradient g(0, centre.y() - thickness, 0, centre.y() + thickness * 0.6);
    g.setColorAt(0, body);
    g.setColorAt(0.7, Blend(body, rim, 0.5, body.alpha()));
    g.setColorAt(1, rim);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(path);
}

struct SeaLook {
    QColor atHorizon, nearby;
    QColor crest, trough;
    double wave = 1;       // height of the waves relative to their length
    double whiteCaps = 0;  // share of the near crests that break
    double density = 1;    // waves per row
};

double Perspective(double y, double horizon) { return (y - horizon) / (kHeight - horizon); }

void PaintSea(QPainter& p, double horizon, const SeaLook& sea, Rng& rng) {
    QLinearGradient g(0, horizon, 0, kHeight);
    g.setColorAt(0, sea.atHorizon);
    g.setColorAt(1, sea.nearby);
    p.fillRect(QRectF(0, horizon, kWidth, kHeight - horizon), g);
    p.setPen(Qt::NoPen);
    for (double y = horizon + 1.5; y < kHeight + 8; y += 1.2 + Perspective(y, horizon) * 7) {
        const double near = Perspective(y, horizon);
        const int count = static_cast<int>((8 + 30 * (1 - near)) * sea.density);
        for (int i = 0; i < count; ++i) {
            const double x = rng.Uniform(-20, kWidth + 20);
            const double w = (4 + near * 60) * rng.Uniform(0.6, 1.4);
            const double h = w * 0.13 * sea.wave * rng.Uniform(0.6, 1.3);
            // The trough: the shaded face under the crest.
            QPainterPath trough;
            trough.moveTo(x - w / 2, y);
            trough.quadTo(x, y + h * 1.2, x + w / 2, y);
            trough.quadTo(x, y + h * 0.3, x - w / 2, y);
            p.setBrush(WithAlpha(sea.trough, static_cast<int>(70 + 80 * near)));
            p.drawPath(trough);
            // The crest: the face towards the sky.
            QPainterPath crest;
            crest.moveTo(x - w / 2, y);
            crest.quadTo(x, y - h, x + w / 2, y);
            crest.quadTo(x, y - h * 0.35, x - w / 2, y);
            p.setBrush(WithAlpha(sea.crest, static_cast<int>(60 + 90 * near)));
            p.drawPath(crest);
            if (sea.whiteCaps > 0 && rng.Chance(sea.whiteCaps * (0.15 + near * 0.6))) {
                // A breaking crest: a thin streak of foam along its top, then spray dots.
                const double fw = w * rng.Uniform(0.3, 0.6);
                QPainterPath foam;
                foam.moveTo(x - fw / 2, y - h * 0.4);
                foam.quadTo(x, y - h * 1.15, x + fw / 2, y - h * 0.45);
                foam.quadTo(x, y - h * 0.7, x - fw / 2, y - h * 0.4);
                p.setBrush(QColor(255, 255, 255, static_cast<int>(rng.Uniform(150, 230))));
                p.drawPath(foam);
                for (int k = 0; k < 3; ++k) {
                    p.setBrush(QColor(245, 250, 255, static_cast<int>(rng.Uniform(60, 140))));
                    p.drawEllipse(QPointF(x + rng.Uniform(-fw, fw) * 0.5, y - h * rng.Uniform(0, 0.5)), fw * 0.12,
                                  std::max(0.5, h * 0.2));
                }
            }
        }
    }
}

// Light on the water under the sun or the moon: short bright dashes, densest under it.
void PaintGlitter(QPainter& p, double horizon, double x, double spread, const QColor& colour, double amount, Rng& rng) {
    p.setPen(Qt::NoPen);
    for (double y = horizon + 1; y < kHeight; y += 1.0 + Perspective(y, horizon) * 3) {
        const double near = Perspective(y, horizon);
        const double width = spread * (0.25 + near * 1.6);
        const int count = static_cast<int>(amount * (10 + 14 * near));
        for (int i = 0; i < count; ++i) {
            const double dx = (rng.Uniform(-1, 1) + rng.Uniform(-1, 1) + rng.Uniform(-1, 1)) / 3 * width;
            const double len = (1.5 + near * 10) * rng.Uniform(0.4, 1.2);
            const int alpha =
                static_cast<int>(std::clamp((1 - std::abs(dx) / width) * 255 * rng.Uniform(0.4, 1.0), 0.0, 255.0));
            p.setBrush(WithAlpha(colour, alpha));
            p.drawEllipse(QPointF(x + dx, y), len / 2, std::max(0.5, 0.35 + near * 1.2));
        }
    }
}

// A coast far away: a ragged silhouette along the horizon, hazy.
void PaintCoast(QPainter& p, double horizon, double from, double to, double height, const QColor& colour, Rng& rng) {
    QPainterPath path;
    path.moveTo(from, horizon + 0.5);
    double h = height * 0.3;
    for (double x = from; x <= to; x += 4) {
        const double edge = std::min(x - from, to - x) / (to - from) * 2;
        h = std::clamp(h + rng.Uniform(-0.12, 0.12) * height, height * 0.2, height);
        path.lineTo(x, horizon - h * Smooth(edge * 3));
    }
    path.lineTo(to, horizon + 0.5);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

// The boat's foam: a bow wave and the wash along the hull, then the wake astern on the water.
void PaintFoam(QPainter& p, const std::vector<QPointF>& waterline, double speed, double scale, Rng& rng) {
    if (waterline.size() < 2) return;
    p.setPen(Qt::NoPen);
    const std::size_t n = waterline.size();
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n - 1);
        const double strength = speed * (0.3 + 1.6 * Smooth((t - 0.6) / 0.4) + 0.5 * Smooth((0.25 - t) / 0.25));
        for (int k = 0; k < 4; ++k) {
            const QPointF c =
                waterline[i] + QPointF(rng.Uniform(-0.4, 0.4) * scale, rng.Uniform(-0.15, 0.2) * scale * strength);
            p.setBrush(
                QColor(255, 255, 255, static_cast<int>(std::clamp(strength * rng.Uniform(60, 150), 0.0, 230.0))));
            p.drawEllipse(c, scale * 0.35 * rng.Uniform(0.5, 1.2),
                          std::max(0.6, scale * 0.1 * strength * rng.Uniform(0.5, 1.2)));
        }
    }
}

// The wake astern, on the water: two arms of foam spreading from the stern and a smoother trail
// between them, fading with the distance. `view` places points of the water plane (world axes).
void PaintWake(QPainter& p, const Projector& view, double heading, double boatLength, double speed, Rng& rng) {
    p.setPen(Qt::NoPen);
    const double h = Rad(heading);
    const V3 aft{-std::cos(h), -std::sin(h), 0}, side{-std::sin(h), std::cos(h), 0};
    const V3 stern = aft * (boatLength / 2);
    const double length = boatLength * 2.2 * speed;
    for (double d = 0; d < length; d += 0.25) {
        const double t = d / length;
        for (double s : {-1.0, 1.0, 0.0}) {
            const V3 at = stern + aft * d + side * (s * (0.3 + d * 0.32) + rng.Uniform(-0.25, 0.25) * (1 + 2 * t));
            const double fade = (1 - t) * (1 - t) * (s == 0 ? 0.35 : 0.8);
            p.setBrush(
                QColor(255, 255, 255, static_cast<int>(std::clamp(speed * fade * rng.Uniform(90, 220), 0.0, 255.0))));
            const double r = view.Scale() * (0.15 + 0.35 * t) * rng.Uniform(0.6, 1.3);
            p.drawEllipse(view.Screen(at), r, r * 0.3);
        }
    }
}

// ---------------------------------------------------------------- a boat with its reflection

struct BoatInScene {
    Boat boat;
    Placement at;
    double speed = 1;         // foam strength, 0 for a boat at rest
    double reflection = 0.3;  // opacity of its reflection
    double ripple = 2;        // pixels the reflection wavers
};

void PaintReflection(QPainter& p, const BoatInScene& b, const Lighting& light) {
    if (b.reflection <= 0) return;
    QImage layer(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        BoatPainter(b.boat, b.at, light, true).Paint(lp);
        // Fade with the distance below the waterline.
        lp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        const double reach = b.at.scale * b.boat.hulls[0].length * 1.2;
        QLinearGradient fade(0, b.at.water.y(), 0, b.at.water.y() + reach);
        fade.setColorAt(0, QColor(0, 0, 0, static_cast<int>(255 * b.reflection)));
        fade.setColorAt(1, QColor(0, 0, 0, 0));
        lp.fillRect(layer.rect(), fade);
    }
    // Each row shifted sideways as the ripples break the image.
    QImage wavy(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    wavy.fill(Qt::transparent);
    for (int y = 0; y < kHeight; ++y) {
        const double below = y - b.at.water.y();
        const int shift = static_cast<int>(std::lround(b.ripple * std::sin(below * 0.9) * std::min(1.0, below / 10.0)));
        const auto* from = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(wavy.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            const int sx = x - shift;
            if (sx >= 0 && sx < kWidth) to[x] = from[sx];
        }
    }
    p.drawImage(0, 0, wavy);
}

void PaintBoat(QPainter& p, const BoatInScene& b, const Lighting& light, Rng& rng) {
    PaintReflection(p, b, light);
    BoatPainter painter(b.boat, b.at, light, false);
    const std::vector<QPointF>& waterline = painter.NearWaterline();
    if (b.speed > 0) PaintWake(p, painter.View(), b.boat.heading, b.boat.hulls[0].length, b.speed, rng);
    painter.Paint(p);
    if (b.speed > 0) PaintFoam(p, waterline, b.speed, b.at.scale, rng);
}

void PaintVignette(QPainter& p, int alpha) {
    QRadialGradient g(QPointF(kWidth / 2.0, kHeight * 0.45), kHeight * 0.72);
    g.setColorAt(0.55, QColor(0, 0, 0, 0));
    g.setColorAt(1, QColor(0, 0, 0, alpha));
    p.fillRect(QRectF(0, 0, kWidth, kHeight), g);
}

using Scene = void (*)(QPainter&);

// ---------------------------------------------------------------- landmarks

void PaintStars(QPainter& p, double bottom, int count, Rng& rng) {
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const double y = bottom * std::pow(rng.Uniform(0, 1), 1.4);
        const double fade = 1 - y / bottom;
        p.setBrush(QColor(255, 255, 240, static_cast<int>(rng.Uniform(60, 255) * fade)));
        const double r = rng.Chance(0.08) ? 1.2 : rng.Uniform(0.35, 0.8);
        p.drawEllipse(QPointF(rng.Uniform(0, kWidth), y), r, r);
    }
}

void PaintMoon(QPainter& p, QPointF c, double r) {
    PaintSun(p, c, r * 1.05, QColor(0xF4, 0xF1, 0xDC), QColor(0xA8, 0xB8, 0xD8), r * 6);
    p.setPen(Qt::NoPen);
    // The seas of the moon.
    for (const auto& [dx, dy, rx, ry] : {std::array{-0.3, -0.25, 0.3, 0.22}, std::array{0.2, -0.3, 0.22, 0.2},
                                         std::array{0.1, 0.15, 0.28, 0.2}, std::array{-0.25, 0.3, 0.15, 0.12}}) {
        p.setBrush(QColor(0x9A, 0x9C, 0x98, 70));
        p.drawEllipse(c + QPointF(dx * r, dy * r), rx * r, ry * r);
    }
}

// A lighthouse on its rock, its base at `foot`, `height` pixels tall, lit from the left.
void PaintLighthouse(QPainter& p, QPointF foot, double height, double rockWidth, Rng& rng) {
    // The rocks.
    QPainterPath rock;
    rock.moveTo(foot.x() - rockWidth / 2, foot.y() + height * 0.08);
    for (double u = -0.5; u <= 0.5; u += 0.05) {
        const double hump = std::cos(u * kPi) * height * 0.18 * rng.Uniform(0.7, 1.2);
        rock.lineTo(foot.x() + u * rockWidth, foot.y() - hump + height * 0.05);
    }
    rock.lineTo(foot.x() + rockWidth / 2, foot.y() + height * 0.08);
    rock.closeSubpath();
    QLinearGradient rg(foot.x() - rockWidth / 2, 0, foot.x() + rockWidth / 2, 0);
    rg.setColorAt(0, QColor(0x8A, 0x7E, 0x70));
    rg.setColorAt(1, QColor(0x3E, 0x38, 0x33));
    p.setPen(Qt::NoPen);
    p.setBrush(rg);
    p.drawPath(rock);
    // The tower: tapered, white with two red bands, shaded round.
    const double bottomW = height * 0.2, topW = height * 0.13, towerTop = foot.y() - height * 0.78,
                 base = foot.y() - height * 0.1;
    QPainterPath tower;
    tower.moveTo(foot.x() - bottomW / 2, base);
    tower.lineTo(foot.x() - topW / 2, towerTop);
    tower.lineTo(foot.x() + topW / 2, towerTop);
    tower.lineTo(foot.x() + bottomW / 2, base);
    tower.closeSubpath();
    QLinearGradient tg(foot.x() - bottomW / 2, 0, foot.x() + bottomW / 2, 0);
    tg.setColorAt(0, QColor(0xFF, 0xFF, 0xFA));
    tg.setColorAt(0.45, QColor(0xF0, 0xEE, 0xE6));
    tg.setColorAt(1, QColor(0x9A, 0x9E, 0xA8));
    p.setBrush(tg);
    p.drawPath(tower);
    p.save();
    p.setClipPath(tower);
    QLinearGradient band(foot.x() - bottomW / 2, 0, foot.x() + bottomW / 2, 0);
    band.setColorAt(0, QColor(0xE0, 0x30, 0x30));
    band.setColorAt(0.45, QColor(0xC8, 0x22, 0x22));
    band.setColorAt(1, QColor(0x70, 0x12, 0x12));
    for (double f : {0.22, 0.55})
        p.fillRect(QRectF(foot.x() - bottomW, Mix(base, towerTop, f), bottomW * 2, height * 0.12), band);
    p.restore();
    // Gallery, lantern and dome.
    p.setBrush(QColor(0x30, 0x30, 0x34));
    p.drawRect(QRectF(foot.x() - topW * 0.7, towerTop - height * 0.02, topW * 1.4, height * 0.025));
    QLinearGradient glass(foot.x() - topW / 2, 0, foot.x() + topW / 2, 0);
    glass.setColorAt(0, QColor(0xFF, 0xF6, 0xC8));
    glass.setColorAt(1, QColor(0xC8, 0xB0, 0x60));
    p.setBrush(glass);
    p.drawRect(QRectF(foot.x() - topW * 0.38, towerTop - height * 0.1, topW * 0.76, height * 0.08));
    p.setBrush(QColor(0xB0, 0x1E, 0x1E));
    QPainterPath dome;
    dome.moveTo(foot.x() - topW * 0.48, towerTop - height * 0.1);
    dome.quadTo(foot.x(), towerTop - height * 0.2, foot.x() + topW * 0.48, towerTop - height * 0.1);
    dome.closeSubpath();
    p.drawPath(dome);
    p.setPen(QPen(QColor(0x30, 0x30, 0x34), 1));
    p.drawLine(QPointF(foot.x(), towerTop - height * 0.16), QPointF(foot.x(), towerTop - height * 0.22));
}

// A palm tree: a curved trunk and its fronds, rooted at `root`.
void PaintPalm(QPainter& p, QPointF root, double height, double lean, Rng& rng) {
    const QPointF top = root + QPointF(lean * height, -height);
    QPainterPath trunk;
    trunk.moveTo(root);
    trunk.quadTo(root + QPointF(lean * height * 0.1, -height * 0.6), top);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x7A, 0x5C, 0x3A), height * 0.06, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(trunk);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 7; ++i) {
        const double a = Rad(-170 + i * 27 + rng.Uniform(-8, 8));
        const QPointF tip = top + QPointF(std::cos(a), std::sin(a) * 0.55 + 0.45) * (height * rng.Uniform(0.45, 0.6));
        const QPointF mid = (top + tip) / 2 + QPointF(0, -height * 0.15);
        QPainterPath frond;
        frond.moveTo(top);
        frond.quadTo(mid + QPointF(0, -height * 0.05), tip);
        frond.quadTo(mid + QPointF(0, height * 0.06), top);
        p.setBrush(i % 2 ? QColor(0x2E, 0x7D, 0x32) : QColor(0x1B, 0x5E, 0x20));
        p.drawPath(frond);
    }
}

// A racing mark: an orange inflatable cylinder floating at `water`, `height` pixels tall.
void PaintMark(QPainter& p, QPointF water, double height) {
    const double w = height * 0.62;
    const QRectF body(water.x() - w / 2, water.y() - height, w, height);
    QLinearGradient g(body.left(), 0, body.right(), 0);
    g.setColorAt(0, QColor(0xFF, 0x9A, 0x3C));
    g.setColorAt(0.35, QColor(0xFF, 0x7A, 0x10));
    g.setColorAt(1, QColor(0x9A, 0x36, 0x00));
    // Its reflection first, then the foam ring, the body and its top.
    p.setPen(Qt::NoPen);
    QLinearGradient r(0, water.y(), 0, water.y() + height);
    r.setColorAt(0, QColor(0xE0, 0x60, 0x10, 120));
    r.setColorAt(1, QColor(0xE0, 0x60, 0x10, 0));
    p.setBrush(r);
    p.drawRect(QRectF(body.left(), water.y(), w, height));
    p.setBrush(g);
    p.drawRect(body);
    p.setBrush(QColor(0xFF, 0xB0, 0x70));
    p.drawEllipse(QPointF(water.x(), body.top()), w / 2, w * 0.14);
    p.setBrush(QColor(255, 255, 255, 190));
    p.drawEllipse(QPointF(water.x(), water.y()), w * 0.62, w * 0.1);
}

// ---------------------------------------------------------------- the backdrop

struct CloudShape {
    QPointF base;
    double width, height;
    QColor lit, shade;
};

struct StreakShape {
    QPointF centre;
    double length, thickness;
    QColor body, rim;
};

struct LightInSky {
    QPointF centre{};
    double radius = 0;  // none when 0
    QColor core{}, glow{};
    double glowRadius = 0;
    bool moon = false;
};

struct CoastShape {
    double from = 0, to = 0, height = 0;  // none when from == to
    QColor colour;
};

struct GlitterLook {
    double x = 0, spread = 0;
    QColor colour;
    double amount = 0;  // none when 0
};

// Everything behind the boats, painted in this order: sky, stars, sun or moon, clouds, coast, sea,
// and the light on the water.
struct Backdrop {
    double horizon = 0;
    SkyLook sky{};
    int stars = 0;
    LightInSky light{};
    std::vector<CloudShape> clouds{};
    std::vector<StreakShape> streaks{};
    CoastShape coast{};
    SeaLook sea{};
    GlitterLook glitter{};
};

void PaintBackdrop(QPainter& p, const Backdrop& b, Rng& rng) {
    PaintSky(p, b.horizon, b.sky);
    PaintStars(p, b.horizon - 20, b.stars, rng);
    if (b.light.moon) {
        PaintMoon(p, b.light.centre, b.light.radius);
    } else if (b.light.radius > 0) {
        PaintSun(p, b.light.centre, b.light.radius, b.light.core, b.light.glow, b.light.glowRadius);
    }
    for (const CloudShape& c : b.clouds) PaintCloud(p, c.base, c.width, c.height, c.lit, c.shade, rng);
    for (const StreakShape& c : b.streaks) PaintStreak(p, c.centre, c.length, c.thickness, c.body, c.rim);
    if (b.coast.to > b.coast.from)
        PaintCoast(p, b.horizon, b.coast.from, b.coast.to, b.coast.height, b.coast.colour, rng);
    PaintSea(p, b.horizon, b.sea, rng);
    if (b.glitter.amount > 0)
        PaintGlitter(p, b.horizon, b.glitter.x, b.glitter.spread, b.glitter.colour, b.glitter.amount, rng);
}

// ---------------------------------------------------------------- the scenes

// 1. A sloop close-hauled on starboard tack in a fresh breeze: white caps, heeled, clouds racing.
void SloopCloseHauled(QPainter& p) {
    Rng rng(101);
    PaintBackdrop(
        p,
        {.horizon = 300,
         .sky = {{{0, QColor(0x24, 0x52, 0x94)}, {0.6, QColor(0x6E, 0x9E, 0xD0)}, {1, QColor(0xD2, 0xE2, 0xF0)}}},
         .clouds = {{{95, 130}, 170, 60, QColor(255, 255, 255), QColor(0x8C, 0x9A, 0xB0)},
                    {{330, 215}, 130, 40, QColor(250, 252, 255), QColor(0x9A, 0xA8, 0xBC)},
                    {{190, 280}, 110, 18, QColor(245, 248, 252), QColor(0xAE, 0xBA, 0xCA)}},
         .coast = {260, 420, 9, QColor(0x7D, 0x93, 0xA8)},
         .sea = {QColor(0x3E, 0x6E, 0x98), QColor(0x0F, 0x30, 0x55), QColor(0x9C, 0xC4, 0xE6), QColor(0x05, 0x1C, 0x36),
                 1.2, 0.3, 1}},
        rng);
    // Starboard tack (the wind on the starboard side, heeled to port), the bow to the right and towards
    // the viewer: the wind comes from the front right, she shows her windward side.
    const Trim t{.windFromPort = -1, .boom = 8, .heel = 22, .apparentWind = 30, .heading = -30};
    const Lighting light{{0.5, -0.5, 0.6}, QColor(255, 252, 245), 0.45, 8};
    BoatInScene boat{
        Sloop(10, t, QColor(0x1D, 0x2E, 0x5A), QColor(0xF0, 0xF0, 0xF0)), {{215, 430}, 22}, 1.3, 0.25, 2.5};
    PaintBoat(p, boat, light, rng);
    PaintVignette(p, 70);
}

// 2. A ketch with tan sails on a calm evening sea, the sun going down behind her.
void KetchAtSunset(QPainter& p) {
    Rng rng(202);
    const QColor cloud(0x5A, 0x2E, 0x5A, 220), rim(0xFF, 0x8A, 0x4A, 230);
    PaintBackdrop(p,
                  {.horizon = 330,
                   .sky = {{{0, QColor(0x2A, 0x1E, 0x4A)},
                            {0.35, QColor(0x7A, 0x3A, 0x6A)},
                            {0.7, QColor(0xE0, 0x6A, 0x3A)},
                            {1, QColor(0xFF, 0xC0, 0x60)}}},
                   .light = {{290, 312}, 17, QColor(0xFF, 0xE8, 0xA0), QColor(0xFF, 0x9A, 0x40), 140},
                   .streaks = {{{90, 90}, 260, 16, cloud, rim},
                               {{300, 150}, 220, 10, cloud, rim},
                               {{160, 230}, 300, 8, cloud, rim},
                               {{330, 270}, 160, 5, cloud, rim}},
                   .coast = {-20, 140, 14, QColor(0x4A, 0x2A, 0x48)},
                   .sea = {QColor(0x9A, 0x58, 0x60), QColor(0x1E, 0x16, 0x34), QColor(0xE8, 0x90, 0x60),
                           QColor(0x10, 0x08, 0x20), 0.7, 0, 0.9},
                   .glitter = {290, 30, QColor(0xFF, 0xD0, 0x80), 1.2}},
                  rng);
    // The bow to the left, a little away.
    const Trim t{.windFromPort = 1, .boom = 20, .heel = 7, .apparentWind = 60, .heading = 165};
    const Lighting light{{0.7, 0.6, 0.25}, QColor(255, 190, 130), 0.35, 6};
    BoatInScene boat{Ketch(12, t, QColor(0xF2, 0xEE, 0xE2), QColor(0x7A, 0x1E, 0x1E), QColor(0xB8, 0x5A, 0x30)),
                     {{170, 440}, 18},
                     0.6,
                     0.4,
                     1.5};
    PaintBoat(p, boat, light, rng);
    PaintVignette(p, 90);
}

// 3. A racing yacht running under a striped spinnaker on a bright day.
void SpinnakerRun(QPainter& p) {
    Rng rng(303);
    PaintBackdrop(
        p,
        {.horizon = 250,
         .sky = {{{0, QColor(0x1E, 0x5A, 0xB4)}, {0.7, QColor(0x5E, 0x9C, 0xDE)}, {1, QColor(0xC4, 0xDE, 0xF2)}}},
         .clouds = {{{300, 110}, 140, 45, QColor(255, 255, 255), QColor(0x9A, 0xAC, 0xC4)},
                    {{70, 220}, 110, 26, QColor(255, 255, 255), QColor(0xA4, 0xB4, 0xCA)}},
         .sea = {QColor(0x2C, 0x64, 0xA0), QColor(0x06, 0x26, 0x52), QColor(0x8E, 0xC0, 0xEA), QColor(0x02, 0x14, 0x30),
                 1.0, 0.18, 1}},
        rng);
    // The bow towards the viewer, to the left.
    const Trim t{.windFromPort = 1, .boom = 75, .twist = 8, .heel = 6, .apparentWind = 140, .heading = -115};
    const Lighting light{{-0.3, -0.6, 0.7}, QColor(255, 252, 240), 0.45, 9};
    const QColor red(0xD8, 0x20, 0x28), white(0xF6, 0xF4, 0xEE), blue(0x1A, 0x3E, 0x9A), yellow(0xFF, 0xC8, 0x1E);
    BoatInScene boat{
        SpinnakerYacht(11, t, QColor(0xF5, 0xF5, 0xF5), {red, red, white, blue, blue, yellow, blue, blue, white, red}),
        {{210, 445}, 17},
        1.4,
        0.22,
        2.5};
    PaintBoat(p, boat, light, rng);
    PaintVignette(p, 60);
}

// 4. A catamaran reaching across a turquoise lagoon, a palm island behind.
void CatamaranLagoon(QPainter& p) {
    Rng rng(404);
    const double horizon = 290;
    PaintBackdrop(
        p,
        {.horizon = horizon,
         .sky = {{{0, QColor(0x18, 0x7C, 0xD0)}, {0.7, QColor(0x6C, 0xC0, 0xEE)}, {1, QColor(0xD8, 0xF0, 0xFA)}}},
         .light = {{70, 60}, 16, QColor(255, 255, 235), QColor(255, 250, 210), 110},
         .clouds = {{{300, 150}, 130, 36, QColor(255, 255, 255), QColor(0xA8, 0xC4, 0xDC)},
                    {{120, 250}, 120, 22, QColor(255, 255, 255), QColor(0xB0, 0xCC, 0xE0)}},
         .sea = {QColor(0x1E, 0x8E, 0xB0), QColor(0x2E, 0xD0, 0xC4), QColor(0xC8, 0xFF, 0xF6), QColor(0x0A, 0x70, 0x88),
                 0.6, 0.04, 0.8}},
        rng);
    // The island: a sand bar, bushes and palms.
    QPainterPath sand;
    sand.moveTo(230, horizon + 4);
    sand.cubicTo(260, horizon - 6, 380, horizon - 8, 420, horizon + 3);
    sand.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF0, 0xE2, 0xB8));
    p.drawPath(sand);
    for (int i = 0; i < 9; ++i) {
        p.setBrush(i % 2 ? QColor(0x2F, 0x6E, 0x34) : QColor(0x3E, 0x86, 0x3E));
        p.drawEllipse(QPointF(275 + i * 14 + rng.Uniform(-4, 4), horizon - 5), rng.Uniform(9, 15), rng.Uniform(4, 8));
    }
    for (const auto& [x, h, lean] : {std::array{290.0, 48.0, -0.2}, std::array{318.0, 60.0, 0.12},
                                     std::array{345.0, 42.0, 0.25}, std::array{372.0, 36.0, -0.1}}) {
        PaintPalm(p, {x, horizon - 4}, h, lean, rng);
    }
    // Shallows near the viewer: paler sand patches under the water.
    for (int i = 0; i < 14; ++i) {
        const double y = rng.Uniform(horizon + 130, kHeight);
        QRadialGradient g(QPointF(rng.Uniform(0, kWidth), y), rng.Uniform(30, 80));
        g.setColorAt(0, QColor(0xB8, 0xF4, 0xE0, 70));
        g.setColorAt(1, QColor(0xB8, 0xF4, 0xE0, 0));
        p.setBrush(g);
        p.drawEllipse(g.center(), g.radius() * 1.8, g.radius() * 0.4);
    }
    // The bow to the left, towards the viewer.
    const Trim t{.windFromPort = 1, .boom = 18, .heel = 2, .apparentWind = 55, .heading = 200};
    const Lighting light{{-0.6, -0.3, 0.75}, QColor(255, 255, 250), 0.5, 10};
    BoatInScene boat{Catamaran(12, t, QColor(0xFA, 0xFA, 0xF8)), {{200, 455}, 18}, 0.9, 0.35, 2};
    PaintBoat(p, boat, light, rng);
    PaintVignette(p, 50);
}

// 5. A gaff schooner under full sail, heeled on a blue sea under summer clouds.
void SchoonerFullSail(QPainter& p) {
    Rng rng(505);
    PaintBackdrop(
        p,
        {.horizon = 320,
         .sky = {{{0, QColor(0x3A, 0x64, 0x9E)}, {0.6, QColor(0x88, 0xAE, 0xD6)}, {1, QColor(0xE6, 0xEC, 0xF0)}}},
         .clouds = {{{80, 170}, 180, 70, QColor(255, 253, 248), QColor(0x8E, 0x98, 0xAC)},
                    {{320, 120}, 120, 40, QColor(255, 253, 248), QColor(0x98, 0xA2, 0xB4)},
                    {{300, 300}, 160, 26, QColor(250, 248, 244), QColor(0xA8, 0xB0, 0xBE)}},
         .sea = {QColor(0x48, 0x74, 0x9A), QColor(0x12, 0x2E, 0x4E), QColor(0xA4, 0xC4, 0xE0), QColor(0x06, 0x18, 0x30),
                 1.0, 0.15, 1}},
        rng);
    // The bow to the left, away: the wind from the viewer's side.
    const Trim t{.windFromPort = 1, .boom = 22, .heel = 12, .apparentWind = 65, .heading = 160};
    const Lighting light{{0.3, -0.7, 0.6}, QColor(255, 250, 238), 0.45, 7};
    BoatInScene boat{Schooner(16, t), {{225, 440}, 13.5}, 1.1, 0.28, 2.5};
    PaintBoat(p, boat, light, rng);
    PaintVignette(p, 70);
}

// 6. A dinghy ghosting in light air past a lighthouse, the sea almost a mirror.
void DinghyByLighthouse(QPainter& p) {
    Rng rng(606);
    PaintBackdrop(
        p,
        {.horizon = 300,
         .sky = {{{0, QColor(0x6A, 0x9C, 0xCC)}, {0.7, QColor(0xB4, 0xD0, 0xE6)}, {1, QColor(0xF2, 0xEC, 0xDE)}}},
         .light = {{330, 80}, 15, QColor(255, 253, 240), QColor(255, 246, 214), 120},
         .streaks = {{{120, 150}, 200, 7, QColor(255, 255, 255, 160), QColor(0xD8, 0xE2, 0xEC, 160)},
                     {{260, 200}, 160, 5, QColor(255, 255, 255, 140), QColor(0xD8, 0xE2, 0xEC, 140)}},
         .coast = {180, 420, 12, QColor(0x9A, 0xAE, 0xB8)},
         .sea = {QColor(0xA4, 0xC2, 0xD8), QColor(0x3E, 0x74, 0x9A), QColor(0xE0, 0xEC, 0xF4), QColor(0x2A, 0x58, 0x7C),
                 0.35, 0, 0.7}},
        rng);
    // The lighthouse and its wavering reflection.
    QImage layer(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        Rng same(607);
        PaintLighthouse(lp, {90, 330}, 150, 150, same);
    }
    {
        QImage mirrored = layer.copy(0, 0, kWidth, 346).mirrored(false, true);
        p.setOpacity(0.35);
        for (int y = 0; y < mirrored.height() && 346 + y < kHeight; ++y) {
            const int shift = static_cast<int>(std::lround(1.5 * std::sin(y * 0.8)));
            p.drawImage(QPointF(shift, 346 + y), mirrored, QRectF(0, y, kWidth, 1));
        }
        p.setOpacity(1);
    }
    p.drawImage(0, 0, layer);
    // The bow to the right, towards the viewer.
    const Trim t{.windFromPort = -1, .boom = 35, .heel = 4, .apparentWind = 80, .heading = -20};
    const Lighting light{{0.5, 0.3, 0.8}, QColor(255, 252, 240), 0.5, 10};
    BoatInScene boat{
        Dinghy(4.2, t, QColor(0xD0, 0x2A, 0x2A), QColor(0xF6, 0xF4, 0xEC)), {{255, 455}, 36}, 0.3, 0.45, 1.2};
    PaintBoat(p, boat, light, rng);
    PaintVignette(p, 55);
}

// 7. A yacht at night under the moon: a silver path on the water, her lights burning.
void NightUnderTheMoon(QPainter& p) {
    Rng rng(707);
    const double horizon = 320;
    PaintBackdrop(
        p,
        {.horizon = horizon,
         .sky = {{{0, QColor(0x03, 0x06, 0x16)}, {0.6, QColor(0x0C, 0x18, 0x38)}, {1, QColor(0x22, 0x34, 0x5C)}}},
         .stars = 260,
         .light = {.centre = {270, 110}, .radius = 22, .moon = true},
         .streaks = {{{140, 180}, 220, 9, QColor(0x1A, 0x24, 0x40, 200), QColor(0x6A, 0x7C, 0xA0, 200)}},
         .coast = {-20, 170, 16, QColor(0x08, 0x0E, 0x1E)},
         .sea = {QColor(0x1C, 0x2A, 0x4A), QColor(0x02, 0x06, 0x12), QColor(0x50, 0x64, 0x8C), QColor(0x00, 0x02, 0x08),
                 0.8, 0, 0.9},
         .glitter = {270, 26, QColor(0xE8, 0xEE, 0xFF), 1.0}},
        rng);
    // Lights ashore.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 14; ++i) {
        p.setBrush(QColor(0xFF, 0xD8, 0x90, static_cast<int>(rng.Uniform(120, 230))));
        p.drawEllipse(QPointF(rng.Uniform(5, 150), horizon - rng.Uniform(1, 6)), 0.9, 0.9);
    }
    // The bow to the right, towards the viewer: her green light shows.
    const Trim t{.windFromPort = -1, .boom = 25, .heel = 10, .apparentWind = 70, .heading = -25};
    const Lighting light{{0.4, 0.8, 0.45}, QColor(0xB8, 0xC8, 0xFF), 0.22, 7};
    Boat boat = Sloop(10, t, QColor(0x2A, 0x30, 0x3C), QColor(0x88, 0x90, 0xA0));
    boat.windows = QColor(0xFF, 0xD0, 0x70);
    boat.lights = SideLights(4.7, -5, 0.5, 1.1);
    PaintBoat(p, {boat, {{190, 440}, 20}, 0.7, 0.3, 2}, light, rng);
    PaintVignette(p, 110);
}

// 8. A fleet rounding the windward mark: boats beating up to it, one bearing away under spinnaker.
void FleetAtTheMark(QPainter& p) {
    Rng rng(808);
    PaintBackdrop(
        p,
        {.horizon = 230,
         .sky = {{{0, QColor(0x2C, 0x6C, 0xB8)}, {0.7, QColor(0x7E, 0xB2, 0xE0)}, {1, QColor(0xD6, 0xE6, 0xF2)}}},
         .clouds = {{{110, 120}, 150, 45, QColor(255, 255, 255), QColor(0x9A, 0xAA, 0xC0)},
                    {{330, 190}, 120, 24, QColor(255, 255, 255), QColor(0xA8, 0xB6, 0xC8)}},
         .coast = {180, 420, 10, QColor(0x6E, 0x88, 0x9C)},
         .sea = {QColor(0x3A, 0x70, 0xA0), QColor(0x0A, 0x2C, 0x56), QColor(0x9E, 0xC6, 0xEA), QColor(0x04, 0x18, 0x34),
                 1.0, 0.2, 1}},
        rng);
    const Lighting light{{-0.4, -0.5, 0.75}, QColor(255, 252, 242), 0.45, 9};
    // The wind from beyond the mark: starboard tack, heading left and away.
    const Trim beat{.windFromPort = -1, .boom = 8, .heel = 18, .apparentWind = 30};
    // The same wind on the port quarter of the boat that has borne away.
    const Trim run{.windFromPort = 1, .boom = 70, .heel = 5, .apparentWind = 140};
    // Far to near; each entry: the trim's heading, where, the scale, the hull, the spinnaker.
    struct Entry {
        double heading;
        QPointF at;
        double scale;
        QColor hull;
        bool kite;
    };
    const std::array fleet{Entry{150, {300, 262}, 6.5, QColor(0xF0, 0xF0, 0xF0), false},
                           Entry{145, {95, 275}, 7.5, QColor(0xB0, 0x20, 0x20), false},
                           Entry{-60, {330, 300}, 9, QColor(0x20, 0x30, 0x60), true},
                           Entry{152, {250, 350}, 12, QColor(0xF4, 0xF4, 0xF0), false},
                           Entry{140, {140, 470}, 17, QColor(0x1A, 0x5E, 0x3A), false}};
    bool markDrawn = false;
    for (const Entry& e : fleet) {
        if (!markDrawn && e.at.y() > 320) {
            PaintMark(p, {175, 320}, 20);
            markDrawn = true;
        }
        Trim t = e.kite ? run : beat;
        t.heading = e.heading;
        Boat b = e.kite ? SpinnakerYacht(10, t, e.hull,
                                         {QColor(0xFF, 0xD0, 0x20), QColor(0xFF, 0xD0, 0x20), QColor(0x20, 0x60, 0xC0)})
                        : Sloop(10, t, e.hull, QColor(0xF0, 0xF0, 0xF0));
        PaintBoat(p, {b, {e.at, e.scale}, 1.1, 0.22, 2}, light, rng);
    }
    PaintVignette(p, 60);
}

std::vector<std::pair<const char*, Scene>> AllScenes() {
    return {
        {"01_sloop_close_hauled", SloopCloseHauled},
        {"02_ketch_sunset", KetchAtSunset},
        {"03_spinnaker_run", SpinnakerRun},
        {"04_catamaran_lagoon", CatamaranLagoon},
        {"05_schooner_full_sail", SchoonerFullSail},
        {"06_dinghy_lighthouse", DinghyByLighthouse},
        {"07_night_under_the_moon", NightUnderTheMoon},
        {"08_fleet_at_the_mark", FleetAtTheMark},
    };
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: ship_pictures FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    for (const auto& [name, scene] : AllScenes()) {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        scene(p);
        p.end();
        const QString path = folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".jpg");
        if (!image.save(path, "JPG", 88)) {
            std::fprintf(stderr, "ship_pictures: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
