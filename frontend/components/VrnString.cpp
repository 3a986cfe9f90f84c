#include "VrnString.h"

#include <cmath>

QChar GetChar(const QString& s, int pos)
{
    if (pos < 1 || pos > s.size())
        return QChar(0);
    return s[pos - 1];
}

QString CopyFrom(const QString& s, int from)
{
    if (from < 1)
        from = 1;
    if (from > s.size())
        return QString();
    return s.mid(from - 1);
}

bool IsInteger(Extended x)
{
    return x >= -2147483648.0L && x <= 2147483647.0L && x == std::trunc(x);
}

int PosFrom(const QString& sub, const QString& s, int from)
{
    if (sub.isEmpty())
        return 0;
    const QString tail = CopyFrom(s, from);
    const qsizetype at = tail.indexOf(sub);
    return at < 0 ? 0 : static_cast<int>(at) + 1;
}

int PosOrDefault(const QString& sub, const QString& s, int defaultPos)
{
    if (sub.isEmpty())
        return defaultPos;
    const qsizetype at = s.indexOf(sub);
    return at < 0 ? defaultPos : static_cast<int>(at) + 1;
}

int PosOrEnd(const QString& sub, const QString& s)
{
    return PosOrDefault(sub, s, static_cast<int>(s.size()) + 1);
}

QString ReplaceAll(const QString& s, const QString& oldText, const QString& newText)
{
    if (oldText.isEmpty())
        return s;
    QString r = s;
    qsizetype at = r.indexOf(oldText);
    while (at >= 0) {
        r.replace(at, oldText.size(), newText);
        at = r.indexOf(oldText, at + newText.size());
    }
    return r;
}
