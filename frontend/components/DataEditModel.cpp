#include "DataEditModel.h"

#include "Evaluator.h"
#include "NumberText.h"
#include "VrnString.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

const Extended DataEditModel::DefaultMaxVal = std::ldexp(18446744073709551536.0L, 16320);

namespace {

constexpr Extended kInt32Min = -2147483648.0L;
constexpr Extended kInt32Max = 2147483647.0L;

struct UnitName {
    const char16_t* placeholder;
    const char16_t* english;
    const char16_t* si;
};

const UnitName kForceNames[] = {
    {u"F5", u"sec", u"sec"},
    {u"F4", u"lb-sec2/in", u"Mg"},
    {u"F2", u"tons", u"kN"},
    {u"F1", u"kips", u"kN"},
};
const UnitName kForce = {u"F", u"lbs", u"kN"};
const UnitName kLengthNames[] = {
    {u"L2", u"ft", u"m"},
    {u"L1", u"in", u"mm"},
};
const UnitName kLength = {u"L", u"in", u"m"};

} // namespace

DataEditModel::DataEditModel()
    : m_text(QStringLiteral("0")), m_minVal(-DefaultMaxVal), m_maxVal(DefaultMaxVal)
{
}

void DataEditModel::SetText(const QString& text)
{
    m_text = text;
}

void DataEditModel::setTextFromModel(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    if (OnTextChanged)
        OnTextChanged();
}

void DataEditModel::labelChanged()
{
    if (OnLabelChanged)
        OnLabelChanged();
}

void DataEditModel::SetCaption(const QString& caption)
{
    m_caption = caption;
    labelChanged();
}

void DataEditModel::SetUnitsString(const QString& units)
{
    m_unitsString = units;
    labelChanged();
}

void DataEditModel::SetUnits(int units)
{
    m_units = std::clamp(units, 1, 3);
    labelChanged();
}

void DataEditModel::SetIntegerOnly(bool value)
{
    m_integerOnly = value;
    if (value && !m_loading) {
        SetMaxVal(m_maxVal);
        SetMinVal(m_minVal);
    }
}

void DataEditModel::SetMinVal(Extended x)
{
    if (m_loading) {
        m_minVal = x;
        return;
    }
    x = std::min(x, m_maxVal);
    if (m_integerOnly)
        x = std::clamp(x, kInt32Min, kInt32Max);
    const bool raise = x > Number(); // an invalid text fails here, before anything changes
    m_minVal = x;
    if (raise)
        SetNumber(x);
}

void DataEditModel::SetMaxVal(Extended x)
{
    if (m_loading) {
        m_maxVal = x;
        return;
    }
    x = std::max(x, m_minVal);
    if (m_integerOnly)
        x = std::clamp(x, kInt32Min, kInt32Max);
    // The bound is stored before the number is clamped to it, so that the
    // text chosen reads back within the new bound.
    const bool clamp = x < Number();
    m_maxVal = x;
    if (clamp)
        SetNumber(x);
}

Extended DataEditModel::Number() const
{
    return Evaluate(m_text);
}

void DataEditModel::SetNumber(Extended x)
{
    if (!m_loading) {
        if (x < m_minVal)
            x = m_minVal;
        if (x > m_maxVal)
            x = m_maxVal;
        setTextFromModel(textWithinBounds(x));
    } else {
        setTextFromModel(FormatNumber(m_hex, x));
    }
}

QString DataEditModel::FormatNumber(bool hex, Extended x)
{
    if (!hex)
        return generalNumberText(x, 18, localeDecimalSeparator());
    const auto bits = static_cast<std::uint64_t>(RoundToInt64(x)); // two's complement when negative
    QString digits = QString::number(bits, 16).toUpper();
    if (digits.size() < 4)
        digits.prepend(QString(4 - digits.size(), u'0'));
    return QStringLiteral("$") + digits;
}

QString DataEditModel::textWithinBounds(Extended x) const
{
    if (m_hex) {
        Extended r = std::nearbyint(x);
        if (r < m_minVal)
            r = std::ceil(m_minVal);
        if (r > m_maxVal)
            r = std::floor(m_maxVal);
        return FormatNumber(true, r);
    }
    const QChar separator = localeDecimalSeparator();
    // 21 significant digits give every Extended back exactly.
    for (int digits = 18; digits < 21; ++digits) {
        const QString text = generalNumberText(x, digits, separator);
        Extended back = 0.0L;
        if (parseNumber(text, separator, back) && back >= m_minVal && back <= m_maxVal)
            return text;
    }
    return generalNumberText(x, 21, separator);
}

QString DataEditModel::ExpandUnits() const
{
    QString r = m_unitsString;
    if (m_units == 3)
        return r;
    const auto name = [this](const UnitName& u) { return QString::fromUtf16(m_units == 1 ? u.english : u.si); };

    // One force placeholder kind per string, then one length kind.
    const UnitName* force = &kForce;
    for (const UnitName& u : kForceNames) {
        if (r.contains(QStringView(u.placeholder))) {
            force = &u;
            break;
        }
    }
    r = ReplaceAll(r, QString::fromUtf16(force->placeholder), name(*force));
    const UnitName* length = &kLength;
    for (const UnitName& u : kLengthNames) {
        if (r.contains(QStringView(u.placeholder))) {
            length = &u;
            break;
        }
    }
    return ReplaceAll(r, QString::fromUtf16(length->placeholder), name(*length));
}

QString DataEditModel::LabelText() const
{
    if (m_unitsString.isEmpty())
        return m_caption;
    return m_caption + QStringLiteral(" (") + ExpandUnits() + QStringLiteral(")");
}

ExitCheckResult DataEditModel::ExitCheck()
{
    m_valid = false;
    const QString invalidInteger = QStringLiteral("Entry must be a valid integer.");
    try {
        const Extended x = Number();
        if (m_integerOnly && x != std::trunc(x))
            return {false, QStringLiteral("Entry must be an integer.")};
        if (x < m_minVal) {
            SetNumber(m_minVal);
            return {false, QStringLiteral("Entry must be greater than or equal to ") + textWithinBounds(m_minVal)};
        }
        if (x > m_maxVal) {
            SetNumber(m_maxVal);
            return {false, QStringLiteral("Entry must be less than or equal to ") + textWithinBounds(m_maxVal)};
        }
        setTextFromModel(textWithinBounds(x));
        m_valid = true;
        return {true, QString()};
    } catch (const EAssignError& e) {
        return {false, m_integerOnly ? invalidInteger : e.Message()};
    } catch (const EInvalidOp&) {
        // A value beyond what the hexadecimal form can show.
        return {false, m_integerOnly ? invalidInteger : evaluationMessage(QStringLiteral("invalid floating point operation"))};
    }
}

bool DataEditModel::OperatorGoesToEnd(QChar key, int selectionLength, int textLength)
{
    return selectionLength == textLength && QStringView(u"+-/*^=%!").contains(key);
}
