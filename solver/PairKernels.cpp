#include "PairKernels.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KD_HAVE_AVX2_PATH 1
#else
#define KD_HAVE_AVX2_PATH 0
#endif

namespace kd {

namespace {

constexpr int kLanes = 4;  // doubles in one 256-bit register; rows are padded to it

int padded(int count) { return (count + kLanes - 1) / kLanes * kLanes; }

} // namespace

KernelPath bestKernelPath()
{
#if KD_HAVE_AVX2_PATH
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx2"))
        return KernelPath::Avx512;
    if (__builtin_cpu_supports("avx2"))
        return KernelPath::Avx2;
#endif
    return KernelPath::Portable;
}

KernelPath usableKernelPath(KernelPath wanted)
{
    return static_cast<int>(wanted) <= static_cast<int>(bestKernelPath()) ? wanted : bestKernelPath();
}

const char* kernelPathName(KernelPath path)
{
    switch (path) {
    case KernelPath::Avx512: return "avx512";
    case KernelPath::Avx2: return "avx2";
    case KernelPath::Portable: break;
    }
    return "portable";
}

bool kernelPathFromName(const char* name, KernelPath& path)
{
    for (KernelPath p : {KernelPath::Portable, KernelPath::Avx2, KernelPath::Avx512})
        if (name && std::strcmp(name, kernelPathName(p)) == 0) {
            path = p;
            return true;
        }
    return false;
}

void AlignedDoubles::Free::operator()(double* p) const { std::free(p); }

void AlignedDoubles::reserve(std::size_t count)
{
    if (count <= m_capacity)
        return;
    const std::size_t bytes = (count * sizeof(double) + 63) / 64 * 64;
    void* p = std::aligned_alloc(64, bytes);
    if (!p)
        throw std::bad_alloc();
    m_data.reset(static_cast<double*>(p));
    m_capacity = count;
}

void SplitRows::reserve(int rows, int cols)
{
    const std::size_t count = static_cast<std::size_t>(std::max(rows, 1)) * static_cast<std::size_t>(padded(std::max(cols, 1)));
    m_re.reserve(count);
    m_im.reserve(count);
}

void SplitRows::assign(CMatIn a, int rows, int cols)
{
    shape(rows, cols);
    double* re = m_re.data();
    double* im = m_im.data();
    for (int k = 1; k <= rows; ++k) {
        double* rk = re + static_cast<std::size_t>(k - 1) * m_stride;
        double* ik = im + static_cast<std::size_t>(k - 1) * m_stride;
        for (int j = 1; j <= cols; ++j) {
            const Cx v = a(k, j);
            rk[j - 1] = v.re;
            ik[j - 1] = v.im;
        }
        for (int j = cols; j < m_stride; ++j) {
            rk[j] = 0.0;
            ik[j] = 0.0;
        }
    }
}

void PairKernelWork::reserve(int rows, int cols, int order)
{
    first.reserve(rows, cols);
    second.reserve(rows, cols);
    matrix.reserve(order, order);
}

void SplitRows::shape(int rows, int cols)
{
    m_rows = rows;
    m_cols = cols;
    m_stride = padded(cols);
    // The kernels never allocate: the storage must have been reserved.
    assert(static_cast<std::size_t>(rows) * static_cast<std::size_t>(m_stride) <= m_re.capacity());
}

namespace {

// Row operations of the inversion and the field product, in two forms with
// the same operations per element: plain loops, and AVX2 on four
// neighbouring columns at a time. Rows are padded to a multiple of four; the
// padding takes part in the arithmetic and is never read back.

struct PortableOps {
    // r(j) := r(j) / p, the scaled division of Complex.h.
    static void divide(double* re, double* im, int len, Cx p)
    {
        for (int j = 0; j < len; ++j) {
            const Cx v = cdiv(Cx{re[j], im[j]}, p);
            re[j] = v.re;
            im[j] = v.im;
        }
    }
    // d(j) := d(j) - q s(j).
    static void update(double* dRe, double* dIm, const double* sRe, const double* sIm, int len, Cx q)
    {
        for (int j = 0; j < len; ++j) {
            const Cx v = Cx{dRe[j], dIm[j]} - q * Cx{sRe[j], sIm[j]};
            dRe[j] = v.re;
            dIm[j] = v.im;
        }
    }
    // Row h of the backward phase: a(h, j) -= sum over k = h+1..n of a(h, k) a(k, j), j = 1..h.
    static void backward(double* re, double* im, std::size_t stride, int n, int h)
    {
        double* hRe = re + static_cast<std::size_t>(h - 1) * stride;
        double* hIm = im + static_cast<std::size_t>(h - 1) * stride;
        for (int j = 0; j < h; ++j) {
            Cx sum{0.0, 0.0};
            for (int k = h + 1; k <= n; ++k) {
                const std::size_t kj = static_cast<std::size_t>(k - 1) * stride + j;
                sum += Cx{hRe[k - 1], hIm[k - 1]} * Cx{re[kj], im[kj]};
            }
            const Cx v = Cx{hRe[j], hIm[j]} - sum;
            hRe[j] = v.re;
            hIm[j] = v.im;
        }
    }
    // out(r, .) := sum over k of f(row, k) x(k, .), for one row.
    static void fieldRow(const Cx* f, std::size_t ldf, const SplitRows& x, double* oRe, double* oIm)
    {
        const int len = x.stride();
        for (int j = 0; j < len; ++j) {
            oRe[j] = 0.0;
            oIm[j] = 0.0;
        }
        for (int k = 0; k < x.rows(); ++k) {
            const Cx fk = f[static_cast<std::size_t>(k) * ldf];
            const double* xRe = x.re() + static_cast<std::size_t>(k) * len;
            const double* xIm = x.im() + static_cast<std::size_t>(k) * len;
            for (int j = 0; j < len; ++j) {
                const Cx v = Cx{oRe[j], oIm[j]} + fk * Cx{xRe[j], xIm[j]};
                oRe[j] = v.re;
                oIm[j] = v.im;
            }
        }
    }
};

#if KD_HAVE_AVX2_PATH

#define KD_AVX2 __attribute__((target("avx2")))

// Complex product (ar + i ai)(br + i bi) lane by lane, as Complex.h forms it:
// re = ar br - ai bi, im = ar bi + ai br (separate multiply and add).
KD_AVX2 inline void cmul4(__m256d ar, __m256d ai, __m256d br, __m256d bi, __m256d& re, __m256d& im)
{
    re = _mm256_sub_pd(_mm256_mul_pd(ar, br), _mm256_mul_pd(ai, bi));
    im = _mm256_add_pd(_mm256_mul_pd(ar, bi), _mm256_mul_pd(ai, br));
}

// V vectors of sums over k of b(k) x(k, j0 + 4v + lane), from zero; b(k) at
// bRe[k * bStep], x row k at xRe + k * xStride.
template <int V>
KD_AVX2 inline void sumChunk(const double* bRe, const double* bIm, std::size_t bStep, const double* xRe,
                             const double* xIm, std::size_t xStride, int count, double* sumRe, double* sumIm)
{
    // Named accumulators: GCC keeps an array of vectors in memory, and a
    // store per step would cost as much as the arithmetic.
    const __m256d zero = _mm256_setzero_pd();
    __m256d r0 = zero, i0 = zero, r1 = zero, i1 = zero, r2 = zero, i2 = zero, r3 = zero, i3 = zero;
#define KD_SUM_STEP(v, sr, si)                                                                    \
    {                                                                                             \
        __m256d pr, pi;                                                                           \
        cmul4(br, bi, _mm256_loadu_pd(xr + 4 * (v)), _mm256_loadu_pd(xi + 4 * (v)), pr, pi);     \
        sr = _mm256_add_pd(sr, pr);                                                               \
        si = _mm256_add_pd(si, pi);                                                               \
    }
    for (int k = 0; k < count; ++k) {
        const __m256d br = _mm256_broadcast_sd(bRe + static_cast<std::size_t>(k) * bStep);
        const __m256d bi = _mm256_broadcast_sd(bIm + static_cast<std::size_t>(k) * bStep);
        const double* xr = xRe + static_cast<std::size_t>(k) * xStride;
        const double* xi = xIm + static_cast<std::size_t>(k) * xStride;
        KD_SUM_STEP(0, r0, i0)
        if constexpr (V > 1)
            KD_SUM_STEP(1, r1, i1)
        if constexpr (V > 2)
            KD_SUM_STEP(2, r2, i2)
        if constexpr (V > 3)
            KD_SUM_STEP(3, r3, i3)
    }
#undef KD_SUM_STEP
    _mm256_storeu_pd(sumRe, r0);
    _mm256_storeu_pd(sumIm, i0);
    if constexpr (V > 1) {
        _mm256_storeu_pd(sumRe + 4, r1);
        _mm256_storeu_pd(sumIm + 4, i1);
    }
    if constexpr (V > 2) {
        _mm256_storeu_pd(sumRe + 8, r2);
        _mm256_storeu_pd(sumIm + 8, i2);
    }
    if constexpr (V > 3) {
        _mm256_storeu_pd(sumRe + 12, r3);
        _mm256_storeu_pd(sumIm + 12, i3);
    }
}

struct Avx2Ops {
    KD_AVX2 static void divide(double* re, double* im, int len, Cx p)
    {
        const double c = p.re;
        const double d = p.im;
        if (std::fabs(c) > std::fabs(d)) {
            const double r = d / c;
            const double t = c + d * r;
            const __m256d vr = _mm256_set1_pd(r);
            const __m256d vt = _mm256_set1_pd(t);
            for (int j = 0; j < len; j += 4) {
                const __m256d a = _mm256_loadu_pd(re + j);
                const __m256d b = _mm256_loadu_pd(im + j);
                _mm256_storeu_pd(re + j, _mm256_div_pd(_mm256_add_pd(a, _mm256_mul_pd(b, vr)), vt));
                _mm256_storeu_pd(im + j, _mm256_div_pd(_mm256_sub_pd(b, _mm256_mul_pd(a, vr)), vt));
            }
            return;
        }
        const double r = c / d;
        const double t = d + c * r;
        const __m256d vr = _mm256_set1_pd(r);
        const __m256d vt = _mm256_set1_pd(t);
        for (int j = 0; j < len; j += 4) {
            const __m256d a = _mm256_loadu_pd(re + j);
            const __m256d b = _mm256_loadu_pd(im + j);
            _mm256_storeu_pd(re + j, _mm256_div_pd(_mm256_add_pd(_mm256_mul_pd(a, vr), b), vt));
            _mm256_storeu_pd(im + j, _mm256_div_pd(_mm256_sub_pd(_mm256_mul_pd(b, vr), a), vt));
        }
    }

    KD_AVX2 static void update(double* dRe, double* dIm, const double* sRe, const double* sIm, int len, Cx q)
    {
        const __m256d qr = _mm256_set1_pd(q.re);
        const __m256d qi = _mm256_set1_pd(q.im);
        for (int j = 0; j < len; j += 4) {
            __m256d pr, pi;
            cmul4(qr, qi, _mm256_loadu_pd(sRe + j), _mm256_loadu_pd(sIm + j), pr, pi);
            _mm256_storeu_pd(dRe + j, _mm256_sub_pd(_mm256_loadu_pd(dRe + j), pr));
            _mm256_storeu_pd(dIm + j, _mm256_sub_pd(_mm256_loadu_pd(dIm + j), pi));
        }
    }

    template <int V>
    KD_AVX2 static void backwardChunk(double* re, double* im, std::size_t stride, int n, int h, int j0)
    {
        double* hRe = re + static_cast<std::size_t>(h - 1) * stride;
        double* hIm = im + static_cast<std::size_t>(h - 1) * stride;
        alignas(32) double sumRe[4 * V], sumIm[4 * V];
        // b(k) = a(h, h+1+k), x row k = row h+1+k.
        sumChunk<V>(hRe + h, hIm + h, 1, re + static_cast<std::size_t>(h) * stride + j0,
                    im + static_cast<std::size_t>(h) * stride + j0, stride, n - h, sumRe, sumIm);
        for (int v = 0; v < V; ++v) {
            const int j = j0 + 4 * v;
            const __m256d nr = _mm256_sub_pd(_mm256_loadu_pd(hRe + j), _mm256_load_pd(sumRe + 4 * v));
            const __m256d ni = _mm256_sub_pd(_mm256_loadu_pd(hIm + j), _mm256_load_pd(sumIm + 4 * v));
            if (j + 4 <= h) {
                _mm256_storeu_pd(hRe + j, nr);
                _mm256_storeu_pd(hIm + j, ni);
            } else {
                // Only columns up to h change; the rest of the row is read later.
                alignas(32) double tr[4], ti[4];
                _mm256_store_pd(tr, nr);
                _mm256_store_pd(ti, ni);
                const int valid = h - j;  // 1..3
                for (int l = 0; l < valid; ++l) {
                    hRe[j + l] = tr[l];
                    hIm[j + l] = ti[l];
                }
            }
        }
    }

    KD_AVX2 static void backward(double* re, double* im, std::size_t stride, int n, int h)
    {
        for (int j0 = 0; j0 < h; j0 += 16) {
            switch (std::min(4, (h - j0 + 3) / 4)) {
            case 4: backwardChunk<4>(re, im, stride, n, h, j0); break;
            case 3: backwardChunk<3>(re, im, stride, n, h, j0); break;
            case 2: backwardChunk<2>(re, im, stride, n, h, j0); break;
            default: backwardChunk<1>(re, im, stride, n, h, j0); break;
            }
        }
    }

    template <int V>
    KD_AVX2 static void fieldChunk(const Cx* f, std::size_t ldf, const SplitRows& x, int j0, double* oRe, double* oIm)
    {
        const double* fp = reinterpret_cast<const double*>(f);
        sumChunk<V>(fp, fp + 1, 2 * ldf, x.re() + j0, x.im() + j0, static_cast<std::size_t>(x.stride()), x.rows(),
                    oRe + j0, oIm + j0);
    }

    // All rows of the product, a chunk of up to 16 columns at a time, so that
    // the chunk's columns of x stay in the first-level cache across the rows.
    KD_AVX2 static void fieldRows(const Cx* f, std::size_t ldf, int step, int count, const SplitRows& x,
                                  SplitRows& out)
    {
        const int len = x.stride();
        const std::size_t stride = static_cast<std::size_t>(out.stride());
        for (int j0 = 0; j0 < len; j0 += 16) {
            const int vectors = std::min(4, (len - j0) / 4);
            for (int r = 0; r < count; ++r) {
                const Cx* row = f + static_cast<std::size_t>(r) * step;
                double* oRe = out.re() + r * stride;
                double* oIm = out.im() + r * stride;
                switch (vectors) {
                case 4: fieldChunk<4>(row, ldf, x, j0, oRe, oIm); break;
                case 3: fieldChunk<3>(row, ldf, x, j0, oRe, oIm); break;
                case 2: fieldChunk<2>(row, ldf, x, j0, oRe, oIm); break;
                default: fieldChunk<1>(row, ldf, x, j0, oRe, oIm); break;
                }
            }
        }
    }
};

#define KD_AVX512 __attribute__((target("avx512f")))

// The field product and the inversion's row operations with eight columns
// per instruction; a last group of four columns goes through the AVX2 form.
// The same operations per element.
struct Avx512Ops {
    KD_AVX512 static void divide(double* re, double* im, int len, Cx p)
    {
        const int wide = len / 8 * 8;
        const double c = p.re;
        const double d = p.im;
        if (std::fabs(c) > std::fabs(d)) {
            const double r = d / c;
            const double t = c + d * r;
            const __m512d vr = _mm512_set1_pd(r);
            const __m512d vt = _mm512_set1_pd(t);
            for (int j = 0; j < wide; j += 8) {
                const __m512d a = _mm512_loadu_pd(re + j);
                const __m512d b = _mm512_loadu_pd(im + j);
                _mm512_storeu_pd(re + j, _mm512_div_pd(_mm512_add_pd(a, _mm512_mul_pd(b, vr)), vt));
                _mm512_storeu_pd(im + j, _mm512_div_pd(_mm512_sub_pd(b, _mm512_mul_pd(a, vr)), vt));
            }
        } else {
            const double r = c / d;
            const double t = d + c * r;
            const __m512d vr = _mm512_set1_pd(r);
            const __m512d vt = _mm512_set1_pd(t);
            for (int j = 0; j < wide; j += 8) {
                const __m512d a = _mm512_loadu_pd(re + j);
                const __m512d b = _mm512_loadu_pd(im + j);
                _mm512_storeu_pd(re + j, _mm512_div_pd(_mm512_add_pd(_mm512_mul_pd(a, vr), b), vt));
                _mm512_storeu_pd(im + j, _mm512_div_pd(_mm512_sub_pd(_mm512_mul_pd(b, vr), a), vt));
            }
        }
        if (wide < len)
            Avx2Ops::divide(re + wide, im + wide, len - wide, p);
    }

    KD_AVX512 static void update(double* dRe, double* dIm, const double* sRe, const double* sIm, int len, Cx q)
    {
        const int wide = len / 8 * 8;
        const __m512d qr = _mm512_set1_pd(q.re);
        const __m512d qi = _mm512_set1_pd(q.im);
        for (int j = 0; j < wide; j += 8) {
            const __m512d sr = _mm512_loadu_pd(sRe + j);
            const __m512d si = _mm512_loadu_pd(sIm + j);
            const __m512d pr = _mm512_sub_pd(_mm512_mul_pd(qr, sr), _mm512_mul_pd(qi, si));
            const __m512d pi = _mm512_add_pd(_mm512_mul_pd(qr, si), _mm512_mul_pd(qi, sr));
            _mm512_storeu_pd(dRe + j, _mm512_sub_pd(_mm512_loadu_pd(dRe + j), pr));
            _mm512_storeu_pd(dIm + j, _mm512_sub_pd(_mm512_loadu_pd(dIm + j), pi));
        }
        if (wide < len)
            Avx2Ops::update(dRe + wide, dIm + wide, sRe + wide, sIm + wide, len - wide, q);
    }

    // V vectors of eight columns from j0 of backward row h (see PortableOps).
    template <int V>
    KD_AVX512 static void backwardChunk(double* re, double* im, std::size_t stride, int n, int h, int j0)
    {
        double* hRe = re + static_cast<std::size_t>(h - 1) * stride;
        double* hIm = im + static_cast<std::size_t>(h - 1) * stride;
        // b(k) = a(h, h+1+k), x row k = row h+1+k.
        const double* bRe = hRe + h;
        const double* bIm = hIm + h;
        const double* xRe = re + static_cast<std::size_t>(h) * stride + j0;
        const double* xIm = im + static_cast<std::size_t>(h) * stride + j0;
        __m512d sr[V], si[V];
        for (int v = 0; v < V; ++v) {
            sr[v] = _mm512_setzero_pd();
            si[v] = _mm512_setzero_pd();
        }
        for (int k = 0; k < n - h; ++k) {
            const __m512d br = _mm512_set1_pd(bRe[k]);
            const __m512d bi = _mm512_set1_pd(bIm[k]);
            const double* xk = xRe + static_cast<std::size_t>(k) * stride;
            const double* xik = xIm + static_cast<std::size_t>(k) * stride;
            for (int v = 0; v < V; ++v) {
                const __m512d xr = _mm512_loadu_pd(xk + 8 * v);
                const __m512d xi = _mm512_loadu_pd(xik + 8 * v);
                sr[v] = _mm512_add_pd(sr[v], _mm512_sub_pd(_mm512_mul_pd(br, xr), _mm512_mul_pd(bi, xi)));
                si[v] = _mm512_add_pd(si[v], _mm512_add_pd(_mm512_mul_pd(br, xi), _mm512_mul_pd(bi, xr)));
            }
        }
        for (int v = 0; v < V; ++v) {
            const int j = j0 + 8 * v;
            const int valid = std::min(8, h - j);
            if (valid <= 0)
                break;
            // Only columns up to h change; the rest of the row is read later.
            const __mmask8 mask = static_cast<__mmask8>((1u << valid) - 1u);
            _mm512_mask_storeu_pd(hRe + j, mask, _mm512_sub_pd(_mm512_loadu_pd(hRe + j), sr[v]));
            _mm512_mask_storeu_pd(hIm + j, mask, _mm512_sub_pd(_mm512_loadu_pd(hIm + j), si[v]));
        }
    }

    KD_AVX512 static void backward(double* re, double* im, std::size_t stride, int n, int h)
    {
        const int len = static_cast<int>(stride);
        int j0 = 0;
        while (j0 < h) {
            if (h - j0 > 8 && j0 + 16 <= len) {
                backwardChunk<2>(re, im, stride, n, h, j0);
                j0 += 16;
            } else if (j0 + 8 <= len) {
                backwardChunk<1>(re, im, stride, n, h, j0);
                j0 += 8;
            } else {
                Avx2Ops::backwardChunk<1>(re, im, stride, n, h, j0);
                j0 += 4;
            }
        }
    }

    // R rows of the product (f rows at f + r step) for the V vectors of eight
    // columns from j0: each x vector is loaded once for all R rows.
    template <int V, int R>
    KD_AVX512 static void fieldChunk(const Cx* f, std::size_t ldf, int step, const SplitRows& x, int j0,
                                     double* oRe, double* oIm, std::size_t oStride)
    {
        const double* fp = reinterpret_cast<const double*>(f);
        const std::size_t fStep = 2 * static_cast<std::size_t>(step);
        const std::size_t xStride = static_cast<std::size_t>(x.stride());
        const double* xRe = x.re() + j0;
        const double* xIm = x.im() + j0;
        __m512d sr[R][V], si[R][V];
        for (int r = 0; r < R; ++r)
            for (int v = 0; v < V; ++v) {
                sr[r][v] = _mm512_setzero_pd();
                si[r][v] = _mm512_setzero_pd();
            }
        for (int k = 0; k < x.rows(); ++k) {
            const double* xk = xRe + static_cast<std::size_t>(k) * xStride;
            const double* xik = xIm + static_cast<std::size_t>(k) * xStride;
            __m512d xr[V], xi[V];
            for (int v = 0; v < V; ++v) {
                xr[v] = _mm512_loadu_pd(xk + 8 * v);
                xi[v] = _mm512_loadu_pd(xik + 8 * v);
            }
            const double* fk = fp + static_cast<std::size_t>(k) * 2 * ldf;
            for (int r = 0; r < R; ++r) {
                const __m512d br = _mm512_set1_pd(fk[r * fStep]);
                const __m512d bi = _mm512_set1_pd(fk[r * fStep + 1]);
                for (int v = 0; v < V; ++v) {
                    sr[r][v] = _mm512_add_pd(sr[r][v],
                                             _mm512_sub_pd(_mm512_mul_pd(br, xr[v]), _mm512_mul_pd(bi, xi[v])));
                    si[r][v] = _mm512_add_pd(si[r][v],
                                             _mm512_add_pd(_mm512_mul_pd(br, xi[v]), _mm512_mul_pd(bi, xr[v])));
                }
            }
        }
        for (int r = 0; r < R; ++r)
            for (int v = 0; v < V; ++v) {
                _mm512_storeu_pd(oRe + r * oStride + j0 + 8 * v, sr[r][v]);
                _mm512_storeu_pd(oIm + r * oStride + j0 + 8 * v, si[r][v]);
            }
    }

    template <int V>
    KD_AVX512 static void fieldColumns(const Cx* f, std::size_t ldf, int step, int count, const SplitRows& x,
                                       int j0, SplitRows& out)
    {
        const std::size_t stride = static_cast<std::size_t>(out.stride());
        int r = 0;
        for (; r + 4 <= count; r += 4)
            fieldChunk<V, 4>(f + static_cast<std::size_t>(r) * step, ldf, step, x, j0, out.re() + r * stride,
                             out.im() + r * stride, stride);
        for (; r + 2 <= count; r += 2)
            fieldChunk<V, 2>(f + static_cast<std::size_t>(r) * step, ldf, step, x, j0, out.re() + r * stride,
                             out.im() + r * stride, stride);
        for (; r < count; ++r)
            fieldChunk<V, 1>(f + static_cast<std::size_t>(r) * step, ldf, step, x, j0, out.re() + r * stride,
                             out.im() + r * stride, stride);
    }

    // Chunks of 16 columns, two rows at a time (the chunk of x stays in the
    // first-level cache across the rows); then eight and four columns.
    KD_AVX512 static void fieldRows(const Cx* f, std::size_t ldf, int step, int count, const SplitRows& x,
                                    SplitRows& out)
    {
        const int len = x.stride();
        const std::size_t stride = static_cast<std::size_t>(out.stride());
        int j0 = 0;
        for (; j0 + 16 <= len; j0 += 16)
            fieldColumns<2>(f, ldf, step, count, x, j0, out);
        if (j0 + 8 <= len) {
            fieldColumns<1>(f, ldf, step, count, x, j0, out);
            j0 += 8;
        }
        if (j0 < len)
            for (int r = 0; r < count; ++r)
                Avx2Ops::fieldChunk<1>(f + static_cast<std::size_t>(r) * step, ldf, x, j0, out.re() + r * stride,
                                       out.im() + r * stride);
    }
};

#endif

void fieldProductPortable(CMatIn f, int first, int step, int count, const SplitRows& x, SplitRows& out)
{
    const std::size_t ldf = static_cast<std::size_t>(f.ld());
    const std::size_t stride = static_cast<std::size_t>(out.stride());
    for (int r = 1; r <= count; ++r) {
        const Cx* row = f.data() + (first + (r - 1) * step - 1);
        PortableOps::fieldRow(row, ldf, x, out.re() + (r - 1) * stride, out.im() + (r - 1) * stride);
    }
}

// The inversion of CMATINV on the rows of m (row-major, split): forward
// elimination row by row, the last row, then the backward phase row by row
// from the bottom, each as the method states it.
template <class Ops>
void invertRows(SplitRows& m, int n)
{
    const std::size_t stride = static_cast<std::size_t>(m.stride());
    double* re = m.re();
    double* im = m.im();
    auto at = [&](int i, int j) { return static_cast<std::size_t>(i - 1) * stride + static_cast<std::size_t>(j - 1); };
    const int len = m.stride();
    for (int k = 1; k <= n - 1; ++k) {
        const Cx p{re[at(k, k)], im[at(k, k)]};
        re[at(k, k)] = 1.0;
        im[at(k, k)] = 0.0;
        Ops::divide(re + at(k, 1), im + at(k, 1), len, p);
        for (int i = k + 1; i <= n; ++i) {
            const Cx q{re[at(i, k)], im[at(i, k)]};
            re[at(i, k)] = 0.0;
            im[at(i, k)] = 0.0;
            Ops::update(re + at(i, 1), im + at(i, 1), re + at(k, 1), im + at(k, 1), len, q);
        }
    }
    const Cx p{re[at(n, n)], im[at(n, n)]};
    Ops::divide(re + at(n, 1), im + at(n, 1), len, p);
    const Cx inv = recip(p);
    re[at(n, n)] = inv.re;
    im[at(n, n)] = inv.im;
    for (int h = n - 1; h >= 1; --h)
        Ops::backward(re, im, stride, n, h);
}

} // namespace

void fieldProduct(CMatIn f, int first, int step, int count, const SplitRows& x, SplitRows& out, KernelPath path)
{
#if KD_HAVE_AVX2_PATH
    out.shape(count, x.cols());
    if (path == KernelPath::Avx512) {
        Avx512Ops::fieldRows(f.data() + (first - 1), static_cast<std::size_t>(f.ld()), step, count, x, out);
        return;
    }
    if (path == KernelPath::Avx2) {
        Avx2Ops::fieldRows(f.data() + (first - 1), static_cast<std::size_t>(f.ld()), step, count, x, out);
        return;
    }
#endif
    (void)path;
    out.shape(count, x.cols());
    fieldProductPortable(f, first, step, count, x, out);
}

void CMATINV(CMat a, int n, PairKernelWork& work)
{
    if (n < 1)
        return;
    SplitRows& m = work.matrix;
    m.assign(a, n, n);
#if KD_HAVE_AVX2_PATH
    if (work.path() == KernelPath::Avx512)
        invertRows<Avx512Ops>(m, n);
    else if (work.path() == KernelPath::Avx2)
        invertRows<Avx2Ops>(m, n);
    else
#endif
        invertRows<PortableOps>(m, n);
    // The upper triangle of the result is a copy of the lower one.
    const std::size_t stride = static_cast<std::size_t>(m.stride());
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) {
            const std::size_t e = i >= j ? static_cast<std::size_t>(i - 1) * stride + (j - 1)
                                         : static_cast<std::size_t>(j - 1) * stride + (i - 1);
            a(i, j) = Cx{m.re()[e], m.im()[e]};
        }
}

} // namespace kd
