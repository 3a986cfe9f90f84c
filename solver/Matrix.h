#pragma once

// Storage of the analysis program: vectors and column-major matrices indexed
// from 1, the convention every formula of the solver is written in. Views do
// not own their elements; Vector and Matrix own theirs and hand out views.
// Index checks are active in builds without NDEBUG (the tests' debug runs).

#include "Complex.h"

#include <cassert>
#include <cstddef>
#include <type_traits>
#include <vector>

namespace kd {

template <class T>
class VecView {
public:
    VecView() = default;
    VecView(T* data, int size) : m_data(data), m_size(size) {}
    // A writable view reads as a read-only one.
    template <class U, class = std::enable_if_t<std::is_same_v<const U, T> && !std::is_same_v<U, T>>>
    VecView(const VecView<U>& other) : m_data(other.data()), m_size(other.size())
    {
    }

    T& operator()(int i) const
    {
        assert(i >= 1 && i <= m_size);
        return m_data[i - 1];
    }
    T* data() const { return m_data; }
    int size() const { return m_size; }
    // View of the entries first..first+count-1.
    VecView tail(int first, int count) const
    {
        assert(first >= 1 && first - 1 + count <= m_size);
        return VecView(m_data + (first - 1), count);
    }

private:
    T* m_data = nullptr;
    int m_size = 0;
};

// Column-major matrix with a leading dimension counted in elements. A view of
// const elements (MatView<const Cx>) is read-only: its access returns const
// references; a writable view converts to it.
template <class T>
class MatView {
public:
    MatView() = default;
    MatView(T* data, int ld, int cols) : m_data(data), m_ld(ld), m_cols(cols) {}
    template <class U, class = std::enable_if_t<std::is_same_v<const U, T> && !std::is_same_v<U, T>>>
    MatView(const MatView<U>& other) : m_data(other.data()), m_ld(other.ld()), m_cols(other.cols())
    {
    }

    T& operator()(int i, int j) const
    {
        assert(i >= 1 && i <= m_ld && j >= 1 && j <= m_cols);
        return m_data[(i - 1) + static_cast<std::size_t>(j - 1) * m_ld];
    }
    T* data() const { return m_data; }
    int ld() const { return m_ld; }
    int cols() const { return m_cols; }
    // Column j as a vector of ld entries.
    VecView<T> col(int j) const
    {
        assert(j >= 1 && j <= m_cols);
        return VecView<T>(m_data + static_cast<std::size_t>(j - 1) * m_ld, m_ld);
    }

private:
    T* m_data = nullptr;
    int m_ld = 0;
    int m_cols = 0;
};

template <class T>
class Vector {
public:
    Vector() = default;
    explicit Vector(int size) : m_v(static_cast<std::size_t>(size)) {}
    void assign(int size, T value = T{}) { m_v.assign(static_cast<std::size_t>(size), value); }

    T& operator()(int i)
    {
        assert(i >= 1 && i <= size());
        return m_v[static_cast<std::size_t>(i - 1)];
    }
    const T& operator()(int i) const
    {
        assert(i >= 1 && i <= size());
        return m_v[static_cast<std::size_t>(i - 1)];
    }
    int size() const { return static_cast<int>(m_v.size()); }
    T* data() { return m_v.data(); }
    const T* data() const { return m_v.data(); }
    VecView<T> view() { return VecView<T>(m_v.data(), size()); }
    VecView<const T> view() const { return VecView<const T>(m_v.data(), size()); }
    operator VecView<T>() { return view(); }
    operator VecView<const T>() const { return view(); }

private:
    std::vector<T> m_v;
};

template <class T>
class Matrix {
public:
    Matrix() = default;
    Matrix(int ld, int cols) { resize(ld, cols); }
    void resize(int ld, int cols)
    {
        m_ld = ld;
        m_cols = cols;
        m_v.assign(static_cast<std::size_t>(ld) * static_cast<std::size_t>(cols), T{});
    }
    void fill(T value) { m_v.assign(m_v.size(), value); }

    T& operator()(int i, int j)
    {
        assert(i >= 1 && i <= m_ld && j >= 1 && j <= m_cols);
        return m_v[static_cast<std::size_t>(i - 1) + static_cast<std::size_t>(j - 1) * m_ld];
    }
    const T& operator()(int i, int j) const
    {
        assert(i >= 1 && i <= m_ld && j >= 1 && j <= m_cols);
        return m_v[static_cast<std::size_t>(i - 1) + static_cast<std::size_t>(j - 1) * m_ld];
    }
    int ld() const { return m_ld; }
    int cols() const { return m_cols; }
    T* data() { return m_v.data(); }
    const T* data() const { return m_v.data(); }
    MatView<T> view() { return MatView<T>(m_v.data(), m_ld, m_cols); }
    MatView<const T> view() const { return MatView<const T>(m_v.data(), m_ld, m_cols); }
    operator MatView<T>() { return view(); }
    operator MatView<const T>() const { return view(); }

private:
    std::vector<T> m_v;
    int m_ld = 0;
    int m_cols = 0;
};

using CVec = VecView<Cx>;
using RVec = VecView<double>;
using IVec = VecView<int>;
using CMat = MatView<Cx>;
// Read-only views: inputs a kernel only reads.
using CVecIn = VecView<const Cx>;
using RVecIn = VecView<const double>;
using CMatIn = MatView<const Cx>;

} // namespace kd
