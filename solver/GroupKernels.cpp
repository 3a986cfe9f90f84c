#include "GroupKernels.h"

#include <cstddef>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KD_HAVE_AVX2_PATH 1
#else
#define KD_HAVE_AVX2_PATH 0
#endif

namespace kd {

namespace {

void subtractMultipleScalar(Cx* c, const Cx* q, Cx a, int count)
{
    for (int i = 0; i < count; ++i)
        c[i] -= q[i] * a;
}

void backwardColumnScalar(Cx* c, const Cx* rows, std::size_t stride, int first, int last, int n)
{
    for (int h = last; h >= first; --h) {
        const Cx* r = rows + static_cast<std::size_t>(h - first) * stride;
        Cx sum{0.0, 0.0};
        for (int k = h + 1; k <= n; ++k)
            sum += r[k] * c[k];
        c[h] -= sum;
    }
}

#if KD_HAVE_AVX2_PATH

#define KD_AVX2 __attribute__((target("avx2")))

// Two elements of c at a time: q a formed as Complex.h does,
// re = qr ar - qi ai, im = qr ai + qi ar.
KD_AVX2 void subtractMultipleAvx2(Cx* c, const Cx* q, Cx a, int count)
{
    const __m256d av = _mm256_setr_pd(a.re, a.im, a.re, a.im);
    const __m256d as = _mm256_setr_pd(a.im, a.re, a.im, a.re);
    double* cd = reinterpret_cast<double*>(c);
    const double* qd = reinterpret_cast<const double*>(q);
    int i = 0;
    for (; i + 2 <= count; i += 2) {
        const __m256d qv = _mm256_loadu_pd(qd + 2 * i);
        const __m256d t1 = _mm256_mul_pd(_mm256_movedup_pd(qv), av);       // qr ar, qr ai
        const __m256d t2 = _mm256_mul_pd(_mm256_permute_pd(qv, 0xF), as);  // qi ai, qi ar
        const __m256d p = _mm256_addsub_pd(t1, t2);
        _mm256_storeu_pd(cd + 2 * i, _mm256_sub_pd(_mm256_loadu_pd(cd + 2 * i), p));
    }
    for (; i < count; ++i)
        c[i] -= q[i] * a;
}

// Two columns in one register (element k of column 2v in the low half, of
// column 2v + 1 in the high half), P registers. r c formed as Complex.h does:
// re = rr cr - ri ci, im = rr ci + ri cr.
template <int P>
KD_AVX2 void backwardColumnsAvx2(Cx* const* c, const Cx* rows, std::size_t stride, int first, int last, int n)
{
    double* col[2 * P];
    for (int v = 0; v < 2 * P; ++v)
        col[v] = reinterpret_cast<double*>(c[v]);
#define pairAt(v, k)                                                                             \
    _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(col[2 * (v)] + 2 * (k))),          \
                         _mm_loadu_pd(col[2 * (v) + 1] + 2 * (k)), 1)
    for (int h = last; h >= first; --h) {
        const double* r = reinterpret_cast<const double*>(rows + static_cast<std::size_t>(h - first) * stride);
        const __m256d zero = _mm256_setzero_pd();
        __m256d s0 = zero, s1 = zero, s2 = zero, s3 = zero;
#define KD_BACK_STEP(v, s)                                                                       \
    {                                                                                            \
        const __m256d cv = pairAt(v, k);                                                         \
        const __m256d t1 = _mm256_mul_pd(rr, cv);                                                \
        const __m256d t2 = _mm256_mul_pd(ri, _mm256_permute_pd(cv, 0x5));                        \
        s = _mm256_add_pd(s, _mm256_addsub_pd(t1, t2));                                          \
    }
        for (int k = h + 1; k <= n; ++k) {
            const __m256d rr = _mm256_broadcast_sd(r + 2 * k);
            const __m256d ri = _mm256_broadcast_sd(r + 2 * k + 1);
            KD_BACK_STEP(0, s0)
            if constexpr (P > 1)
                KD_BACK_STEP(1, s1)
            if constexpr (P > 2)
                KD_BACK_STEP(2, s2)
            if constexpr (P > 3)
                KD_BACK_STEP(3, s3)
        }
#undef KD_BACK_STEP
        const __m256d sums[4] = {s0, s1, s2, s3};
        for (int v = 0; v < P; ++v) {
            const __m256d d = _mm256_sub_pd(pairAt(v, h), sums[v]);
            _mm_storeu_pd(col[2 * v] + 2 * h, _mm256_castpd256_pd128(d));
            _mm_storeu_pd(col[2 * v + 1] + 2 * h, _mm256_extractf128_pd(d, 1));
        }
    }
#undef pairAt
}

#endif

} // namespace

void subtractMultiple(Cx* c, const Cx* q, Cx a, int count, KernelPath path)
{
#if KD_HAVE_AVX2_PATH
    if (path != KernelPath::Portable) {
        subtractMultipleAvx2(c, q, a, count);
        return;
    }
#endif
    (void)path;
    subtractMultipleScalar(c, q, a, count);
}

void backwardRows(Cx* const* c, int count, const Cx* rows, std::size_t stride, int first, int last, int n,
                  KernelPath path)
{
    int j = 0;
#if KD_HAVE_AVX2_PATH
    if (path != KernelPath::Portable) {
        for (; j + 8 <= count; j += 8)
            backwardColumnsAvx2<4>(c + j, rows, stride, first, last, n);
        for (; j + 2 <= count; j += 2)
            backwardColumnsAvx2<1>(c + j, rows, stride, first, last, n);
    }
#endif
    (void)path;
    for (; j < count; ++j)
        backwardColumnScalar(c[j], rows, stride, first, last, n);
}

} // namespace kd
