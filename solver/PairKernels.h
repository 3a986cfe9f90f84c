#pragma once

// Vector forms of the kernels that run once per pile pair: the modal field
// applied to the neighbour's unit loads (the products of PILE_INTERACTION_H and
// PILE_INTERACTION_V) and the inversion of the small symmetric matrices of the
// pair (CMATINV). Each result element receives the same double operations in
// the same order as in the straightforward loops (every sum from 0 + 0i in
// increasing order, products and divisions as in Complex.h, no fused
// multiply-add), so the results are the same to the bit whichever path runs;
// only the order in which different elements are computed changes.
//
// The data is held as split real and imaginary parts in unit-stride rows so
// that four (eight) neighbouring columns go through one AVX2 (AVX-512)
// instruction. Work areas
// belong to one thread and are sized once, before the pair runs: nothing here
// allocates per pair.

#include "Matrix.h"

#include <cstddef>
#include <memory>

namespace kd {

// Each path is chosen only when the processor has its instructions.
enum class KernelPath {
    Portable,  // plain C++ loops: any processor
    Avx2,      // 256-bit vector instructions
    Avx512,    // the field products with 512-bit instructions, the rest as Avx2
};

// The fastest path this processor runs.
KernelPath bestKernelPath();
// `wanted`, or the fastest path below it that the processor runs.
KernelPath usableKernelPath(KernelPath wanted);
// Reads "portable", "avx2" or "avx512" into path; false for any other name.
bool kernelPathFromName(const char* name, KernelPath& path);
const char* kernelPathName(KernelPath path);

// Doubles aligned to 64 bytes; sized by reserve(), never by the kernels.
class AlignedDoubles {
public:
    void reserve(std::size_t count);
    std::size_t capacity() const { return m_capacity; }
    double* data() { return m_data.get(); }
    const double* data() const { return m_data.get(); }

private:
    struct Free {
        void operator()(double* p) const;
    };
    std::unique_ptr<double, Free> m_data;
    std::size_t m_capacity = 0;
};

// Split rows of a complex matrix: element (k, j) of rows 1..rows, columns
// 1..cols at re()[(k - 1) * stride() + j - 1] (and im()); stride() is cols
// rounded up to a multiple of 4, the padding is zero.
class SplitRows {
public:
    // Sizes for up to rows x cols elements (allocates).
    void reserve(int rows, int cols);
    // Copies a(1..rows, 1..cols); the storage must have been reserved.
    void assign(CMatIn a, int rows, int cols);
    // Sets the shape for a kernel that writes every element (within the reserve).
    void shape(int rows, int cols);
    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    int stride() const { return m_stride; }
    const double* re() const { return m_re.data(); }
    const double* im() const { return m_im.data(); }
    double* re() { return m_re.data(); }
    double* im() { return m_im.data(); }

private:
    AlignedDoubles m_re, m_im;
    int m_rows = 0;
    int m_cols = 0;
    int m_stride = 0;
};

// Work areas of one thread for the pair kernels.
class PairKernelWork {
public:
    explicit PairKernelWork(KernelPath path = bestKernelPath()) : m_path(usableKernelPath(path)) {}
    // Sizes for products of up to `rows` used rows by `cols` columns and for
    // inversions of matrices up to `order` (allocates; call before the pairs).
    void reserve(int rows, int cols, int order);
    KernelPath path() const { return m_path; }

    SplitRows first, second;  // results of fieldProduct
    SplitRows matrix;         // the matrix being inverted, by rows

private:
    KernelPath m_path;
};

// out(r, j) := sum over k = 1..x.rows() of f(first + (r - 1) step, k) x(k, j),
// r = 1..count, j = 1..x.cols(), each sum from 0 + 0i in increasing k, each
// product f x as in Complex.h. f is read in place (interleaved, any leading
// dimension); out must have been reserved for count x x.cols().
void fieldProduct(CMatIn f, int first, int step, int count, const SplitRows& x, SplitRows& out, KernelPath path);

// CMATINV for the pair runs: the same operations as CMATINV(a, n), through the
// thread's work area (no allocation; n must be within the reserved order).
void CMATINV(CMat a, int n, PairKernelWork& work);

} // namespace kd
