// The pair kernels on split rows against the straightforward interleaved
// loops: the same bits on the vector and the portable path, for every size
// (including those that are not a multiple of the vector width), with signed
// zeros and values of very different magnitude.

#include "ComplexKernels.h"
#include "PairKernels.h"
#include "RunOptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

using namespace kd;

namespace {

// Paths to test: every one the processor runs.
std::vector<KernelPath> paths()
{
    std::vector<KernelPath> out;
    for (KernelPath p : {KernelPath::Portable, KernelPath::Avx2, KernelPath::Avx512})
        if (usableKernelPath(p) == p)
            out.push_back(p);
    return out;
}

// Random complex values spread over many binades, with some exact zeros of
// both signs (a sum of signed zeros keeps its sign only in the right order).
Cx randomValue(std::mt19937& rng)
{
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::uniform_int_distribution<int> scale(-20, 20);
    std::uniform_int_distribution<int> kind(0, 15);
    auto part = [&] {
        switch (kind(rng)) {
        case 0: return 0.0;
        case 1: return -0.0;
        default: return std::ldexp(u(rng), scale(rng));
        }
    };
    const double re = part();
    return Cx{re, part()};
}

Matrix<Cx> randomSymmetric(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    Matrix<Cx> a(n, n);
    for (int j = 1; j <= n; ++j)
        for (int i = j; i <= n; ++i) {
            a(i, j) = randomValue(rng);
            a(j, i) = a(i, j);
        }
    for (int i = 1; i <= n; ++i)
        a(i, i) = a(i, i) + Cx{double(n) * 1e6, 0.5};  // well away from singular
    return a;
}

bool sameBits(const Matrix<Cx>& a, const Matrix<Cx>& b)
{
    return a.ld() == b.ld() && a.cols() == b.cols() &&
           std::memcmp(a.data(), b.data(), sizeof(Cx) * static_cast<std::size_t>(a.ld()) * a.cols()) == 0;
}

// The field product as the interleaved loops form it: out(r, j) = sum over k
// of f(first + (r-1) step, k) x(k, j), each sum from zero in increasing k.
Matrix<Cx> straightforwardProduct(const Matrix<Cx>& f, int first, int step, int count, const Matrix<Cx>& x)
{
    Matrix<Cx> out(count, x.cols());
    for (int r = 1; r <= count; ++r)
        for (int j = 1; j <= x.cols(); ++j) {
            Cx sum{0.0, 0.0};
            for (int k = 1; k <= x.ld(); ++k)
                sum += f(first + (r - 1) * step, k) * x(k, j);
            out(r, j) = sum;
        }
    return out;
}

} // namespace

TEST(PairKernels, PairInversionIsBitwiseTheSharedInversion)
{
    for (KernelPath path : paths()) {
        PairKernelWork work(path);
        work.reserve(1, 1, 70);
        for (int n : {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 33, 40, 41, 42, 64, 70}) {
            SCOPED_TRACE(testing::Message() << kernelPathName(path) << ", n " << n);
            // A larger leading dimension as the head-impedance work matrix has.
            const int ld = n + 2;
            Matrix<Cx> a(ld, ld);
            const Matrix<Cx> s = randomSymmetric(n, 31u + n);
            for (int j = 1; j <= n; ++j)
                for (int i = 1; i <= n; ++i)
                    a(i, j) = s(i, j);
            a(ld, ld) = Cx{7.0, -3.0};  // outside the block: must stay
            Matrix<Cx> b = a;
            CMATINV(a, n, work);
            CMATINV(b, n);
            EXPECT_TRUE(sameBits(a, b));
        }
    }
}

TEST(PairKernels, FieldProductIsBitwiseTheInterleavedLoops)
{
    struct Case {
        int depth, cols, count, first, step;
    };
    // The horizontal rows (1 and 3 of every node of three), the vertical ones
    // (2 of two), and widths around the vector width.
    const Case cases[] = {{120, 40, 40, 1, 3}, {120, 40, 40, 3, 3}, {80, 40, 40, 2, 2}, {3, 1, 1, 1, 3},
                          {9, 3, 3, 3, 3},     {15, 5, 5, 1, 3},    {14, 7, 7, 2, 2},   {51, 17, 17, 1, 3},
                          {26, 13, 13, 2, 2},  {63, 21, 21, 3, 3},  {123, 41, 41, 1, 3}, {90, 45, 45, 2, 2},
                          {75, 25, 25, 3, 3},  {36, 12, 12, 1, 3}};
    std::mt19937 rng(4242);
    for (KernelPath path : paths()) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << kernelPathName(path) << ", depth " << c.depth << ", cols " << c.cols
                                            << ", rows " << c.first << " step " << c.step);
            const int fRows = c.first + (c.count - 1) * c.step;
            Matrix<Cx> f(fRows + 1, c.depth);  // one row more than used: the view's own leading dimension
            for (int k = 1; k <= c.depth; ++k)
                for (int i = 1; i <= fRows + 1; ++i)
                    f(i, k) = randomValue(rng);
            Matrix<Cx> x(c.depth, c.cols);
            for (int j = 1; j <= c.cols; ++j)
                for (int k = 1; k <= c.depth; ++k)
                    x(k, j) = randomValue(rng);
            SplitRows xs, out;
            xs.reserve(c.depth, c.cols);
            xs.assign(x, c.depth, c.cols);
            out.reserve(c.count, c.cols);
            fieldProduct(f, c.first, c.step, c.count, xs, out, path);

            const Matrix<Cx> expected = straightforwardProduct(f, c.first, c.step, c.count, x);
            Matrix<Cx> got(c.count, c.cols);
            for (int r = 1; r <= c.count; ++r)
                for (int j = 1; j <= c.cols; ++j) {
                    const std::size_t e = static_cast<std::size_t>(r - 1) * out.stride() + (j - 1);
                    got(r, j) = Cx{out.re()[e], out.im()[e]};
                }
            EXPECT_TRUE(sameBits(got, expected));
        }
    }
}

TEST(PairKernels, SumOfNegativeZerosKeepsItsSign)
{
    // Every product is -0 (or +0); a sum started from +0 in order is +0, the
    // same on both paths.
    Matrix<Cx> f(1, 4), x(4, 5);
    for (int k = 1; k <= 4; ++k) {
        f(1, k) = Cx{-0.0, 0.0};
        for (int j = 1; j <= 5; ++j)
            x(k, j) = Cx{1.0, -0.0};
    }
    const Matrix<Cx> expected = straightforwardProduct(f, 1, 1, 1, x);
    for (KernelPath path : paths()) {
        SCOPED_TRACE(kernelPathName(path));
        SplitRows xs, out;
        xs.reserve(4, 5);
        xs.assign(x, 4, 5);
        out.reserve(1, 5);
        fieldProduct(f, 1, 1, 1, xs, out, path);
        for (int j = 1; j <= 5; ++j) {
            EXPECT_EQ(std::signbit(out.re()[j - 1]), std::signbit(expected(1, j).re));
            EXPECT_EQ(std::signbit(out.im()[j - 1]), std::signbit(expected(1, j).im));
        }
    }
}

TEST(PairKernels, EnvironmentChoosesThePath)
{
    struct Case {
        const char* value;  // nullptr: unset
        KernelPath expected;
    };
    const Case cases[] = {{nullptr, bestKernelPath()},
                          {"portable", KernelPath::Portable},
                          {"avx2", usableKernelPath(KernelPath::Avx2)},
                          {"avx512", usableKernelPath(KernelPath::Avx512)},
                          {"fastest", bestKernelPath()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "unset");
        if (c.value)
            setenv("KDCALC_KERNELS", c.value, 1);
        else
            unsetenv("KDCALC_KERNELS");
        EXPECT_EQ(runOptionsFromEnvironment().kernels, c.expected);
    }
    unsetenv("KDCALC_KERNELS");
    // A path the processor cannot run is never used: the next one below it is.
    for (KernelPath p : {KernelPath::Avx2, KernelPath::Avx512}) {
        const KernelPath used = PairKernelWork(p).path();
        EXPECT_LE(static_cast<int>(used), static_cast<int>(p));
        EXPECT_EQ(usableKernelPath(used), used);
    }
}
