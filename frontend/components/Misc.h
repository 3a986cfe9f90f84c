#pragma once

// Condition-and-raise helpers, integer helpers, the exception classes that
// the library shares and the owning object list.

#include "Extended.h"

#include <QByteArray>
#include <QString>
#include <QVariantList>

#include <cstdint>
#include <exception>
#include <functional>
#include <vector>

// Base of every exception of the front end: it carries the user-visible text.
class Exception : public std::exception {
public:
    explicit Exception(const QString& message) : m_message(message), m_what(message.toUtf8()) {}
    const QString& Message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    QString m_message;
    QByteArray m_what;
};

class EAssertionFailed : public Exception { public: using Exception::Exception; };
class EListError : public Exception { public: using Exception::Exception; };
class EInvalidCast : public Exception { public: using Exception::Exception; };
class EConvertError : public Exception { public: using Exception::Exception; };
class EInOutError : public Exception { public: using Exception::Exception; };
class EReadError : public Exception { public: using Exception::Exception; };
class EAbstractError : public Exception { public: using Exception::Exception; };

// An operation whose result cannot be represented (an integer conversion out
// of range, a value that is not finite where a number is required).
class EInvalidOp : public Exception {
public:
    EInvalidOp() : Exception(QStringLiteral("Invalid floating point operation")) {}
};

// Fills %d, %s and %% of fmt from args, in order.
QString Format(const QString& fmt, const QVariantList& args);

template <class E = EAssertionFailed>
void Check(bool condition, const QString& msg)
{
    if (!condition)
        throw E(msg);
}

template <class E = EAssertionFailed>
void CheckFmt(bool condition, const QString& fmt, const QVariantList& args)
{
    const QString msg = Format(fmt, args); // built before the test, as callers expect
    if (!condition)
        throw E(msg);
}

template <class E = EAssertionFailed>
void RaiseIf(bool condition, const QString& msg)
{
    if (condition)
        throw E(msg);
}

template <class E = EAssertionFailed>
void RaiseIfFmt(bool condition, const QString& fmt, const QVariantList& args)
{
    const QString msg = Format(fmt, args);
    if (condition)
        throw E(msg);
}

int IntMax(int a, int b);
int IntMin(int a, int b);
int IntIfThen(bool flag, int a, int b);
// Folds values[1..] into values[0] in order; values must not be empty.
int FoldInts(const std::function<int(int, int)>& fn, const std::vector<int>& values);
int IntMinOf(const std::vector<int>& values);
bool InRangeInt(int x, int lo, int hi);
Extended FracOf(Extended x);
// Nearest integer, ties to the even neighbour. Raises EInvalidOp when the
// result does not fit in 64 bits or x is not finite.
std::int64_t RoundToInt64(Extended x);
// x truncated toward zero; raises EInvalidOp as RoundToInt64 does.
std::int64_t TruncToInt64(Extended x);
// x rounded to the nearest integer (ties to even) when that fits in 32 bits;
// raises EInvalidOp otherwise.
std::int32_t RoundToInt32(Extended x);

template <class T>
void FreeListAndItems(std::vector<T*>* list)
{
    if (!list)
        return;
    for (auto it = list->rbegin(); it != list->rend(); ++it)
        delete *it;
    delete list;
}

// Ordered list that owns its items: an item is in at most one owning list,
// and only the list frees it.
template <class T>
class TObjectList {
public:
    TObjectList() = default;
    ~TObjectList() { Clear(); }
    TObjectList(const TObjectList&) = delete;
    TObjectList& operator=(const TObjectList&) = delete;

    bool OwnsObjects() const { return m_ownsObjects; }
    int Count() const { return static_cast<int>(m_items.size()); }

    int Add(T* obj)
    {
        m_items.push_back(obj);
        return Count() - 1;
    }
    void Insert(int index, T* obj)
    {
        checkIndex(index, Count());
        m_items.insert(m_items.begin() + index, obj);
    }
    void Delete(int index)
    {
        checkIndex(index, Count() - 1);
        T* old = m_items[index];
        m_items.erase(m_items.begin() + index);
        if (m_ownsObjects)
            delete old;
    }
    void Clear()
    {
        while (!m_items.empty()) {
            T* last = m_items.back();
            m_items.pop_back();
            if (m_ownsObjects)
                delete last;
        }
    }
    T* Items(int index) const
    {
        checkIndex(index, Count() - 1);
        return m_items[index];
    }
    void Put(int index, T* obj)
    {
        checkIndex(index, Count() - 1);
        T* old = m_items[index];
        m_items[index] = obj;
        if (m_ownsObjects && old != obj)
            delete old;
    }
    int IndexOf(const T* obj) const
    {
        for (int i = 0; i < Count(); ++i)
            if (m_items[i] == obj)
                return i;
        return -1;
    }

private:
    static void checkIndex(int index, int highest)
    {
        if (index < 0 || index > highest)
            throw EListError(Format(QStringLiteral("List index out of bounds (%d)"), {index}));
    }

    bool m_ownsObjects = true;
    std::vector<T*> m_items;
};
