#include "ViewGeometry.h"

#include <charconv>
#include <cmath>
#include <string>

Extended ViewBounds::RangeY() const
{
    return std::fabs(YAtBottom - YAtTop);
}

bool GetNoDraw(const ViewBounds& b)
{
    const Extended rx = b.RangeX();
    const Extended ry = b.RangeY();
    if (!std::isfinite(rx) || !std::isfinite(ry) || !std::isfinite(b.MinX) || !std::isfinite(b.MaxX)
        || !std::isfinite(b.YAtTop) || !std::isfinite(b.YAtBottom))
        return true;
    return rx == 0.0L || ry == 0.0L;
}

std::optional<ViewBounds> FitAspect(const ViewBounds& model, int width, int height)
{
    if (GetNoDraw(model) || width <= 0 || height <= 0)
        return std::nullopt;
    ViewBounds shown = model;
    const Extended a = (static_cast<Extended>(width) / height) / (model.RangeX() / model.RangeY());
    if (!std::isfinite(a) || a == 0.0L)
        return std::nullopt;
    if (a >= 1.0L) {
        shown.MinX *= a;
        shown.MaxX *= a;
    } else {
        shown.YAtTop /= a;
        shown.YAtBottom /= a;
    }
    if (GetNoDraw(shown))
        return std::nullopt;
    return shown;
}

int RoundPixel(Extended value)
{
    if (std::isnan(value))
        return 0;
    if (value >= kPixelLimit)
        return kPixelLimit;
    if (value <= -kPixelLimit)
        return -kPixelLimit;
    return static_cast<int>(std::nearbyint(value)); // the default rounding: halves to even
}

int MapToPixel(Extended value, Extended from, Extended to, Extended span, Extended offset)
{
    return RoundPixel((value - from) / (to - from) * span + offset);
}

std::optional<ModelPoint> PixelToModel(const ViewBounds& shown, int width, int height, int px, int py)
{
    if (width <= 0 || height <= 0)
        return std::nullopt;
    ModelPoint p;
    p.X = static_cast<Extended>(px) / width * shown.RangeX() + shown.MinX;
    p.Y = static_cast<Extended>(py) / height * (shown.YAtBottom - shown.YAtTop) + shown.YAtTop;
    return p;
}

QString FixedOneDecimalText(Extended value, QChar separator)
{
    if (!std::isfinite(value))
        return QString();
    char buf[6000]; // the widest fixed text of an Extended
    const auto fixed = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1);
    std::string text(buf, fixed.ptr);
    // A value that rounds to zero shows no sign.
    if (text == "-0.0")
        text = "0.0";
    const std::size_t point = text.find('.');
    const std::size_t integerDigits = point - (text[0] == '-' ? 1 : 0);
    if (integerDigits <= 6) {
        QString out = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
        out.replace(u'.', separator);
        return out;
    }
    // d.dddddde+x: the mantissa without trailing zeros, the exponent
    // without "+" and leading zeros.
    const auto sci = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 6);
    const std::string s(buf, sci.ptr);
    const std::size_t e = s.find('e');
    std::string mantissa = s.substr(0, e);
    while (!mantissa.empty() && mantissa.back() == '0')
        mantissa.pop_back();
    if (!mantissa.empty() && mantissa.back() == '.')
        mantissa.pop_back();
    const int exponent = std::stoi(s.substr(e + 1));
    QString out = QString::fromLatin1(mantissa.data(), static_cast<qsizetype>(mantissa.size()));
    out.replace(u'.', separator);
    return out + u'E' + QString::number(exponent);
}
