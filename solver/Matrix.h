#pragma once

// Storage of the analysis program: vectors and column-major matrices indexed
// from 1, the convention every formula of the solver is written in. Views do
// not own their elements; Vector and Matrix own theirs and hand out views.
// Index checks are active in builds without NDEBUG (the tests' debug runs).

#include "Complex.h"

#include <cassert>
#include <cstddef>
#include <vector>

namespace kd {

template <class T>
class VecView {
public:
    VecView() = default;
    VecView(T* data, int size) : m_data(data), m_size(size) {}

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

// Column-major matrix with a leading dimension counted in elements.
template <class T>
class MatView {
public:
    MatView() = default;
    MatView(T* data, int ld, int cols) : m_data(data), m_ld(ld), m_cols(cols) {}

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
    operator VecView<T>() { return view(); }

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
    MatView<T> view() { return MatView<T>(m_v.data(), m_ld, m_cols); }
    operator MatView<T>() { return view(); }

private:
    std::vector<T> m_v;
    int m_ld = 0;
    int m_cols = 0;
};

using CVec = VecView<Cx>;
using RVec = VecView<double>;
using IVec = VecView<int>;
using CMat = MatView<Cx>;

} // namespace kd
