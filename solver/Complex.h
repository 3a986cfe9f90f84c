#pragma once

// Complex arithmetic of the analysis program: a value is a pair of doubles.
// Every routine of the solver uses these operations (never std::complex), so
// that each result comes from one fixed sequence of double operations.
// Division is the scaled method; products are bilinear (no conjugation).

#include <cmath>

namespace kd {

struct Cx {
    double re = 0.0;
    double im = 0.0;
};

constexpr Cx cx(double re, double im = 0.0) { return Cx{re, im}; }

inline Cx operator+(Cx a, Cx b) { return {a.re + b.re, a.im + b.im}; }
inline Cx operator-(Cx a, Cx b) { return {a.re - b.re, a.im - b.im}; }
// Unary minus flips the signs of both parts (keeps IEEE signed zeros; 0 - x would not).
inline Cx operator-(Cx a) { return {-a.re, -a.im}; }
inline Cx operator*(Cx a, Cx b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
inline Cx operator*(double s, Cx a) { return {s * a.re, s * a.im}; }
inline Cx operator*(Cx a, double s) { return {a.re * s, a.im * s}; }
inline Cx& operator+=(Cx& a, Cx b) { a.re += b.re; a.im += b.im; return a; }
inline Cx& operator-=(Cx& a, Cx b) { a.re -= b.re; a.im -= b.im; return a; }
inline bool operator==(Cx a, Cx b) { return a.re == b.re && a.im == b.im; }

// Scaled division a / b with b = c + i d: scale by the larger of |c|, |d|;
// ties take the second branch.
inline Cx cdiv(Cx a, Cx b)
{
    const double c = b.re;
    const double d = b.im;
    if (std::fabs(c) > std::fabs(d)) {
        const double r = d / c;
        const double t = c + d * r;
        return {(a.re + a.im * r) / t, (a.im - a.re * r) / t};
    }
    const double r = c / d;
    const double t = d + c * r;
    return {(a.re * r + a.im) / t, (a.im * r - a.re) / t};
}

inline Cx operator/(Cx a, Cx b) { return cdiv(a, b); }
inline Cx recip(Cx b) { return cdiv(Cx{1.0, 0.0}, b); }

// Both parts divided by a real number.
inline Cx divReal(Cx a, double s) { return {a.re / s, a.im / s}; }

inline Cx conj(Cx a) { return {a.re, -a.im}; }

// Modulus as sqrt(re^2 + im^2), the form the results are defined with.
inline double modulus(Cx a) { return std::sqrt(a.re * a.re + a.im * a.im); }

// |Re| + |Im|, the cheap size measure of the pivot searches and stop tests.
inline double norm1(Cx a) { return std::fabs(a.re) + std::fabs(a.im); }

// Principal square root: Re >= 0, and the sign of Im follows Im of the argument.
inline Cx csqrt(Cx z)
{
    if (z.re == 0.0 && z.im == 0.0)
        return {0.0, z.im};
    const double t = std::sqrt((std::fabs(z.re) + std::hypot(z.re, z.im)) * 0.5);
    if (z.re >= 0.0)
        return {t, z.im / (2.0 * t)};
    return {std::fabs(z.im) / (2.0 * t), std::copysign(t, z.im)};
}

inline bool isFinite(Cx a) { return std::isfinite(a.re) && std::isfinite(a.im); }

} // namespace kd
