#include "HankelH.h"

#include <cmath>
#include <limits>

namespace kd {

namespace {

// i a, exactly.
Cx mulI(Cx a) { return {-a.im, a.re}; }

// A double rounded to single precision and widened again.
double toSingle(double v) { return static_cast<double>(static_cast<float>(v)); }

// Correctly rounded constants of the ascending series: with the single-precision
// values the series loses its accuracy in the lower half-plane near |z| = 10,
// where the cancellation between the terms amplifies any error in them.
constexpr double kTwoOverPi = 0.6366197723675814;
constexpr double kEulerGamma = 0.5772156649015329;
constexpr double kOneOverPi = 0.3183098861837907;
// Stop tests and the constants of the asymptotic branch are single-precision
// values widened to double on purpose (results depend on them in the last digits).
constexpr double kSeriesTol = 1.0000000168623835e-16;
constexpr double kAsymptoticTol = 9.99999993922529e-09;
constexpr double kSqrtTwoOverPi = 0.7978845834732056;
constexpr double kQuarterPi = 0.7853981852531433;

} // namespace

void CBESSEL_H(const Cx& z, Cx& h0, Cx& h1)
{
    const double x = z.re;
    const double y = z.im;
    if (!isFinite(z)) {
        // Neither branch would end on a NaN argument.
        const double nan = std::numeric_limits<double>::quiet_NaN();
        h0 = {nan, nan};
        h1 = {nan, nan};
        return;
    }
    const double rho = std::sqrt(x * x + y * y);
    const double theta = std::atan2(y, x);

    if (rho <= 10.0) {
        // H0 = sum q^m/(m!)^2 (c0 + i(2/pi) h_m),
        // H1 = (z/2) [ -i/(pi q) + sum q^m/(m!(m+1)!) (c0 + i(2/pi) h_m + i/(pi(m+1))) ],
        // q = -(z/2)^2, c0 = 1 - i(2/pi)(ln(z/2) + gamma), h_m the m-th harmonic number.
        const Cx w = divReal(z, 2.0);
        const Cx q = -(w * w);
        Cx c{1.0 + kTwoOverPi * theta, -(kTwoOverPi * (std::log(rho / 2.0) + kEulerGamma))};
        Cx s0 = c;
        Cx s1 = c + kOneOverPi * mulI(Cx{1.0, 0.0} - recip(q));
        Cx t{1.0, 0.0};
        for (int m = 1;; ++m) {
            const double m1 = m + 1;
            c.im += kTwoOverPi / m;
            t = t * q;
            s0 += t * c;
            t = divReal(t, m1 * m1);
            s1 += t * Cx{m1 * c.re, m1 * c.im + kOneOverPi};
            if (norm1(t) <= kSeriesTol)
                break;
        }
        s1 = s1 * w;
        // On the negative imaginary axis H0 is imaginary and H1 real: the lost
        // part is set to zero and the kept one carries single precision. On the
        // positive imaginary axis both parts are genuine and are kept.
        if (x == 0.0 && theta <= 0.0) {
            s0 = {0.0, toSingle(s0.im)};
            s1 = {toSingle(s1.re), 0.0};
        }
        h0 = s0;
        h1 = s1;
        return;
    }

    // H_n = sqrt(2/(pi z)) exp(-i(z - pi/4)) S_n(v), v = i/(8z): term k+1 of S0
    // is term k times v (2k+1)^2/(k+1), of S1 term k times v ((2k+1)^2 - 4)/(k+1).
    const Cx v = cdiv(Cx{0.0, 0.125}, z);
    Cx p0 = 4.5 * (v * v);
    Cx q1 = 7.5 * (v * v);
    Cx s0 = (Cx{1.0, 0.0} + v) + p0;
    Cx s1 = (Cx{1.0, 0.0} - 3.0 * v) - q1;
    for (int n = 3;; ++n) {
        const double g = 4.0 * (n - 1);
        p0 = (g + 1.0 / n) * (p0 * v);
        q1 = (g - 3.0 / n) * (q1 * v);
        s0 += p0;
        s1 -= q1;
        if (norm1(q1) <= kAsymptoticTol)
            break;
    }
    const double amp = kSqrtTwoOverPi / std::sqrt(rho) * std::exp(y);
    const double phi = kQuarterPi - x - theta / 2.0;
    Cx f{amp * toSingle(std::cos(phi)), amp * toSingle(std::sin(phi))};
    if (x == 0.0 && theta <= 0.0)
        f = {0.0, toSingle(f.im)};
    h0 = f * s0;
    h1 = mulI(f) * s1;
}

void BESSEL_TERM_H(Cx& d, Cx& a, Cx& b, const Cx& k, double r, int order)
{
    Cx h0;
    Cx h1;
    CBESSEL_H(k * r, h0, h1);
    if (order > 0) {
        a = h1;
        b = h0;
        d = k * h0 - divReal(h1, r);
    } else {
        a = h0;
        b = -h1;
        d = -(k * h1);
    }
}

} // namespace kd
