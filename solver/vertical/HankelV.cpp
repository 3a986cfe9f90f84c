#include "HankelV.h"

#include <cmath>
#include <limits>

namespace kd {

namespace {

// i a, exactly.
Cx mulI(Cx a) { return {-a.im, a.re}; }

constexpr double kTwoOverPi = 0.636619772367582;
constexpr double kEulerGamma = 0.577215664901533;
constexpr double kOneOverPi = 0.318309886183791;
constexpr double kSqrtTwoOverPi = 0.797884560802865;
constexpr double kQuarterPi = 0.785398163397448;
constexpr double kPi = 3.141592653589793;
constexpr double kTol = 1e-16;
// From this argument angle on the expansion is replaced by the continuation.
constexpr double kReflectAngle = 1.57;

// One pass of the asymptotic expansion at zc (angle ang, sign sp of the
// imaginary unit of the kind evaluated); ends after `limit` terms at most.
void asymptoticPass(Cx zc, double yp, double rho, double ang, double sp, double limit, Cx& h0, Cx& h1)
{
    const Cx twoH0 = 2.0 * h0;
    const Cx twoH1 = 2.0 * h1;
    const Cx v = cdiv(Cx{0.0, 0.125 * sp}, zc);
    Cx p0 = 4.5 * (v * v);
    Cx q1 = 7.5 * (v * v);
    Cx s0 = (Cx{1.0, 0.0} + v) + p0;
    Cx s1 = (Cx{1.0, 0.0} - 3.0 * v) - q1;
    int terms = 2;
    for (int n = 3;; ++n) {
        ++terms;
        const double g = 4.0 * (n - 1);
        p0 = (g + 1.0 / n) * (p0 * v);
        q1 = (g - 3.0 / n) * (q1 * v);
        s0 += p0;
        s1 -= q1;
        if (terms >= limit || norm1(q1) <= kTol)
            break;
    }
    const double amp = kSqrtTwoOverPi / std::sqrt(rho) * std::exp(yp);
    const double phi = sp * (kQuarterPi - zc.re - ang / 2.0);
    Cx f{amp * std::cos(phi), amp * std::sin(phi)};
    if (zc.re == 0.0 && ang <= 0.0)
        f.re = 0.0;
    h0 = twoH0 + f * s0;
    h1 = twoH1 + sp * mulI(f) * s1;
}

} // namespace

void CBESSEL_V(const Cx& z, Cx& h0, Cx& h1, int kind)
{
    const double x = z.re;
    const double y = z.im;
    if (!isFinite(z)) {
        // No term limit could be formed from a NaN modulus.
        const double nan = std::numeric_limits<double>::quiet_NaN();
        h0 = {nan, nan};
        h1 = {nan, nan};
        return;
    }
    // The frame in which the imaginary unit is i s.
    const double s = kind == 1 ? -1.0 : 1.0;
    const double yf = s * y;
    const double rho = std::sqrt(x * x + yf * yf);
    const double theta = std::atan2(yf, x);

    if (rho <= 10.0) {
        // The ascending series of J - i s Y (see the horizontal routine).
        const Cx w = divReal(z, 2.0);
        const Cx q = -(w * w);
        Cx c{1.0 + kTwoOverPi * theta, -(s * (kTwoOverPi * (std::log(rho / 2.0) + kEulerGamma)))};
        Cx s0 = c;
        Cx s1 = c + s * kOneOverPi * mulI(Cx{1.0, 0.0} - recip(q));
        Cx t{1.0, 0.0};
        for (int m = 1;; ++m) {
            const double m1 = m + 1;
            c.im += s * kTwoOverPi / m;
            t = t * q;
            s0 += t * c;
            t = divReal(t, m1 * m1);
            s1 += t * Cx{m1 * c.re, m1 * c.im + s * kOneOverPi};
            if (norm1(t) <= kTol)
                break;
        }
        s1 = s1 * w;
        if (x == 0.0 && theta <= 0.0) {
            s0.re = 0.0;
            s1.im = 0.0;
        }
        h0 = s0;
        h1 = s1;
        return;
    }

    // Term limit: the integer part of 2 |z| (kept as a double: no overflow).
    const double limit = std::floor(2.0 * rho);
    h0 = {0.0, 0.0};
    h1 = {0.0, 0.0};
    if (theta < kReflectAngle) {
        asymptoticPass(z, yf, rho, theta, s, limit, h0, h1);
        return;
    }
    // H0(z) = 2 H0(-z) + H0'(-z), H1(z) = -(2 H1(-z) + H1'(-z)), the primed
    // functions of the other kind: the continuation across the negative real axis.
    const Cx zm = -z;
    asymptoticPass(zm, -yf, rho, theta - kPi, s, limit, h0, h1);
    asymptoticPass(zm, yf, rho, kPi - theta, -s, limit, h0, h1);
    h1 = -h1;
}

void BESSEL_TERM_V(Cx& d, Cx& a, Cx& b, const Cx& k, double r)
{
    Cx h0;
    Cx h1;
    CBESSEL_V(k * r, h0, h1, 2);
    a = h0;
    b = -h1;
    d = -(k * h1);
}

} // namespace kd
