#include "Misc.h"

#include <cmath>

QString Format(const QString& fmt, const QVariantList& args)
{
    QString out;
    int next = 0;
    for (qsizetype i = 0; i < fmt.size(); ++i) {
        const QChar c = fmt[i];
        if (c != u'%' || i + 1 >= fmt.size()) {
            out += c;
            continue;
        }
        const QChar conversion = fmt[i + 1];
        if (conversion == u'%') {
            out += u'%';
        } else if ((conversion == u'd' || conversion == u's') && next < args.size()) {
            const QVariant& arg = args[next++];
            out += conversion == u'd' ? QString::number(arg.toLongLong()) : arg.toString();
        } else {
            throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(fmt));
        }
        ++i;
    }
    return out;
}

int IntMax(int a, int b) { return a > b ? a : b; }
int IntMin(int a, int b) { return a < b ? a : b; }
int IntIfThen(bool flag, int a, int b) { return flag ? a : b; }

int FoldInts(const std::function<int(int, int)>& fn, const std::vector<int>& values)
{
    Check(!values.empty(), QStringLiteral("FoldInts needs at least one value"));
    int r = values[0];
    for (std::size_t k = 1; k < values.size(); ++k)
        r = fn(r, values[k]);
    return r;
}

int IntMinOf(const std::vector<int>& values) { return FoldInts(IntMin, values); }

bool InRangeInt(int x, int lo, int hi) { return lo <= x && x <= hi; }

Extended FracOf(Extended x) { return x - std::trunc(x); }

namespace {

// 2^63 exactly; every integral Extended below it in magnitude fits in int64.
constexpr Extended kTwo63 = 9223372036854775808.0L;

std::int64_t toInt64(Extended integral)
{
    if (!(integral >= -kTwo63 && integral < kTwo63))
        throw EInvalidOp();
    return static_cast<std::int64_t>(integral);
}

} // namespace

std::int64_t RoundToInt64(Extended x)
{
    // nearbyint follows the current rounding mode: to nearest, ties to even.
    return toInt64(std::nearbyint(x));
}

std::int64_t TruncToInt64(Extended x) { return toInt64(std::trunc(x)); }

std::int32_t RoundToInt32(Extended x)
{
    const std::int64_t r = RoundToInt64(x);
    if (r < INT32_MIN || r > INT32_MAX)
        throw EInvalidOp();
    return static_cast<std::int32_t>(r);
}
