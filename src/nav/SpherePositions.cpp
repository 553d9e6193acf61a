// Positions on the sphere; see SpherePositions.h.
#include "nav/SpherePositions.h"

#include <cmath>

#include "nav/Utf8Text.h"

namespace corvel::nav {

void TPos_elem::Init(const std::string& nm, float lt, float lg) {
    nom = FirstBytes(nm, 255);  // whole characters only
    lat = lt;
    long_ = lg;
}

void NormalisePi(float& x) {
    if (x >= static_cast<float>(Pi)) x = x - TwoPiF;
    if (x <= -static_cast<float>(Pi)) x = x + TwoPiF;
}

Real Fold180(Real x) { return x <= 180 ? x : x - 360; }
Real To0_360(Real x) { return x <= 0 ? x + 360 : x; }

Real MercatorLatitude(Real phi) {
    constexpr Real QuarterPi = 0.78539816339744830963L;
    return std::log(TanGuarded(phi / 2 + QuarterPi));
}

void RhumbStep(const TPos_elem& from, TPos_elem& to, float d, float c) {
    const Real course = c;
    if (std::fabs(course - 270) < 1e-6L || std::fabs(course - 90) < 1e-6L) {
        to.lat = from.lat;
        const Real g = (d / Cosine(DegToRad(from.lat))) / 60;
        const Real lon = std::fabs(course - 90) < 1e-6L ? from.long_ + g : from.long_ - g;
        to.long_ = static_cast<float>(lon);  // stored, then wrapped
        to.long_ = static_cast<float>(Wrap360(to.long_));
        return;
    }
    const float fromLat = from.lat;
    const float fromLong = from.long_;
    // The 32-bit roundings below are part of the track's behaviour.
    to.lat = static_cast<float>(Cosine(DegToRad(course)) * d / 60 + fromLat);
    const float psiNew = static_cast<float>(MercatorLatitude(DegToRad(to.lat)));
    const float psiOld = static_cast<float>(MercatorLatitude(DegToRad(fromLat)));
    const float dpsi = psiNew - psiOld;
    to.long_ = static_cast<float>(RadToDeg(DegToRad(To0_360(fromLong)) + TanGuarded(DegToRad(course)) * dpsi));
    to.long_ = static_cast<float>(Wrap360(to.long_));
    if (c == 0.0f || c == 180.0f) to.long_ = fromLong;
}

float GreatCircleDistance(Real lon1, Real lat1, Real lon2, Real lat2) {
    lon1 = DegToRad(lon1);
    lat1 = DegToRad(lat1);
    lon2 = DegToRad(lon2);
    lat2 = DegToRad(lat2);
    float dl = static_cast<float>(lon1 - lon2);
    NormalisePi(dl);
    const Real x = Sine(lat1) * Sine(lat2) + Cosine(lat1) * Cosine(lat2) * Cosine(static_cast<Real>(dl));
    return static_cast<float>(std::fabs(RadToDeg(ArcCosine(x))) * 60);
}

namespace {

struct RhumbSolution {
    float distance = 0;  // miles
    float course = 0;    // radians, 0..2pi
};

// Rhumb line from point 2 towards point 1 (radians), every intermediate a 32-bit float.
RhumbSolution SolveRhumb(Real lat1In, Real lat2In, Real dlonIn, Real dlatIn) {
    const float lat1 = static_cast<float>(lat1In);
    const float lat2 = static_cast<float>(lat2In);
    const float dlon = static_cast<float>(dlonIn);
    const float dlat = static_cast<float>(dlatIn);
    float D = 0;
    float C = 0;
    if (std::fabs(dlat) < 3e-6f) {
        C = dlon < 0 ? 4.712389f : 1.5707964f;
        D = static_cast<float>(std::fabs(RadToDeg(dlon) * 60 * Cosine(static_cast<Real>(lat1))));
    } else {
        const float psi1 = static_cast<float>(MercatorLatitude(lat1));
        const float psi2 = static_cast<float>(MercatorLatitude(lat2));
        const float a = static_cast<float>(std::atan(static_cast<Real>(dlon) / static_cast<float>(psi1 - psi2)));
        if (dlat < 0 && dlon < 0) {
            C = static_cast<float>(a + Pi);
        } else if (dlat < 0) {
            C = static_cast<float>(Pi - std::fabs(a));
        } else if (a > 0) {
            C = a;
        } else {
            C = static_cast<float>(a + 6.283185307179586477L);
        }
        D = static_cast<float>(std::fabs(RadToDeg(dlat) * 60 / Cosine(static_cast<Real>(C))));
    }
    if (D < 3) {
        if (std::fabs(dlon) <= 3e-8f) {
            D = static_cast<float>(std::fabs(RadToDeg(dlat)) * 60);
            C = dlat > 0 ? 0.0f : 3.1415927f;
            return {D, C};
        }
        const float dep = static_cast<float>(dlon * Cosine(static_cast<Real>(lat1)));
        const Real north = RadToDeg(dlat) * 60;
        const Real east = RadToDeg(dep) * 60;
        D = static_cast<float>(std::sqrt(north * north + east * east));
        float b = static_cast<float>(std::atan(static_cast<Real>(dlat) / dep));
        if (dep < 0) b = static_cast<float>(b + Pi);
        C = static_cast<float>(7.853981633974483096L - b);
        if (dlat == 0) C = dep < 0 ? 4.712389f : 1.5707964f;
        while (C > static_cast<float>(2 * Pi)) C = static_cast<float>(C - 2 * Pi);
    }
    return {D, C};
}

}  // namespace

std::pair<float, float> RhumbLine(Real lon1, Real lat1, Real lon2, Real lat2) {
    lon1 = DegToRad(lon1);
    lat1 = DegToRad(lat1);
    lon2 = DegToRad(lon2);
    lat2 = DegToRad(lat2);
    const float dlat = static_cast<float>(lat1 - lat2);
    float dlon = static_cast<float>(lon1 - lon2);
    NormalisePi(dlon);
    const RhumbSolution s = SolveRhumb(lat1, lat2, dlon, dlat);
    return {s.distance, static_cast<float>(RadToDeg(s.course))};
}

Real GreatCircleCourse(Real lon1, Real lat1, Real lon2, Real lat2) {
    if (lon1 == lon2) return lat1 > lat2 ? 0 : 180;
    const Real rlon1 = DegToRad(lon1);
    const Real rlat1 = DegToRad(lat1);
    const Real rlon2 = DegToRad(lon2);
    const Real rlat2 = DegToRad(lat2);
    float dl = static_cast<float>(rlon1 - rlon2);
    NormalisePi(dl);
    const Real step = static_cast<Real>(dl) / 10000;
    if (std::fabs(step) <= 3e-8L) {
        // The ten-thousandth point is below what the 32-bit solver can see: it would answer 0 or
        // 180 whatever the bearing. On so short a longitude difference the rhumb course of the
        // whole leg is the great circle's.
        return RhumbLine(lon1, lat1, lon2, lat2).second;
    }
    const Real lx = rlon2 + step;
    const Real latx =
        std::atan((TanGuarded(rlat1) * Sine(lx - rlon2) - TanGuarded(rlat2) * Sine(lx - rlon1)) / Sine(rlon1 - rlon2));
    const RhumbSolution s = SolveRhumb(latx, rlat2, lx - rlon2, latx - rlat2);
    return RadToDeg(s.course);
}

}  // namespace corvel::nav
