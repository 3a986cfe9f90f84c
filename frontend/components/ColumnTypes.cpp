#include "ColumnTypes.h"

#include "Evaluator.h"
#include "Misc.h"
#include "NumberText.h"
#include "ValueStream.h"
#include "VrnString.h"

#include <algorithm>
#include <cmath>

namespace {

// English value per SI value of each symbol.
constexpr Extended kF0 = 224.8089237L;
constexpr Extended kF1 = 0.2248089237L;
constexpr Extended kF2 = 0.1124044745L;
constexpr Extended kF4 = 5.7101483L;
constexpr Extended kF5 = 1.0L;
constexpr Extended kL0 = 39.37007874L;
constexpr Extended kL1 = 0.03937007874L;
constexpr Extended kL2 = 3.280839895L;

const QString kFloatLayout2 = QStringLiteral("FLOATCOLUMN2");

int powerDigit(QChar c)
{
    if (c < u'0' || c > u'9')
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(c.unicode() ? QString(c) : QString()));
    return c.unicode() - u'0';
}

Extended integerPower(Extended x, int n)
{
    Extended r = 1.0L;
    for (int i = 0; i < n; ++i)
        r *= x;
    return r;
}

// Entries of the numeric kinds: the evaluator's refusals pass unchanged, a
// failed number conversion gets the column's own text.
Extended evaluateEntry(const QString& text)
{
    try {
        return Evaluate(text);
    } catch (const EConvertError&) {
        throw EAssignError(text.isEmpty() ? QStringLiteral("Entry cannot be blank.")
                                          : text + QStringLiteral(" is not a valid number."));
    }
}

template <class Kind>
std::unique_ptr<TColumn> create(TGridTable* table)
{
    return std::make_unique<Kind>(table);
}

} // namespace

// ---------------------------------------------------------------- units

Extended UnitsSymbolFactor(const QString& input)
{
    QString s = input;
    Extended forceFactor = 1.0L;
    int a = 0;
    if (GetChar(s, 1) == u'F') {
        if (!QStringView(u"01245").contains(GetChar(s, 2)))
            s = QStringLiteral("F0") + CopyFrom(s, 2); // a plain F is F0
        switch (GetChar(s, 2).unicode()) {
        case u'0': forceFactor = kF0; break;
        case u'1': forceFactor = kF1; break;
        case u'4': forceFactor = kF4; break;
        case u'5': forceFactor = kF5; break;
        default: forceFactor = kF2; break;
        }
        // The character after the symbol and its power separates it from
        // the length part and goes with it.
        if (GetChar(s, 3) == u'^') {
            a = powerDigit(GetChar(s, 4));
            s = CopyFrom(s, 6);
        } else {
            a = 1;
            s = CopyFrom(s, 4);
        }
    }
    Extended lengthFactor = 1.0L;
    int b = 0;
    if (GetChar(s, 1) == u'L') {
        if (!QStringView(u"012").contains(GetChar(s, 2)))
            s = QStringLiteral("L0") + CopyFrom(s, 2);
        switch (GetChar(s, 2).unicode()) {
        case u'0': lengthFactor = kL0; break;
        case u'1': lengthFactor = kL1; break;
        default: lengthFactor = kL2; break;
        }
        b = s.size() > 2 ? powerDigit(GetChar(s, 4)) : 1;
    }
    return integerPower(forceFactor, a) * integerPower(lengthFactor, b);
}

Extended UnitsFactor(int fromUnits, int toUnits, const QString& expr)
{
    int e = 0;
    if (fromUnits == 1 && toUnits == 2)
        e = -1;
    else if (fromUnits == 2 && toUnits == 1)
        e = 1;
    const qsizetype slash = expr.indexOf(u'/');
    const QString numerator = slash < 0 ? expr : expr.left(slash);
    const QString denominator = slash < 0 ? QString() : expr.mid(slash + 1);
    const Extended ratio = UnitsSymbolFactor(numerator) / UnitsSymbolFactor(denominator);
    if (e == 1)
        return ratio;
    if (e == -1)
        return 1.0L / ratio;
    return 1.0L;
}

QString UnitsCaption(const QString& expr, int units)
{
    Check(units >= 1 && units <= 3, QStringLiteral("Units must be 1, 2 or 3"));
    struct Symbol {
        const char16_t* text;
        const char16_t* names[3];
    };
    // "F0" and "L0" are not in the list: their letter is replaced and the digit stays.
    static const Symbol symbols[] = {
        {u"F2", {u"tons", u"kN", u"F"}},  {u"F1", {u"kips", u"kN", u"F"}},
        {u"F4", {u"lb-sec2/in", u"Mg", u"M"}}, {u"F5", {u"sec", u"sec", u"T"}},
        {u"F", {u"lbs", u"kN", u"F"}},    {u"L2", {u"ft", u"m", u"L"}},
        {u"L1", {u"in", u"mm", u"L"}},    {u"L", {u"in", u"m", u"L"}},
    };
    QString r = expr;
    for (const Symbol& s : symbols)
        r = ReplaceAll(r, QString::fromUtf16(s.text), QString::fromUtf16(s.names[units - 1]));
    return r;
}

// ---------------------------------------------------------------- TEnumColumn

const ColumnKind TEnumColumn::Class = {"TEnumColumn", create<TEnumColumn>};

TEnumColumn::TEnumColumn(TGridTable* table) : TColumn(table)
{
    fillToTableRows();
}

void TEnumColumn::SetItems(const QStringList& items)
{
    m_items = items;
    if (OnItemsChanged)
        OnItemsChanged(this);
}

void TEnumColumn::InsertRows(TGridTable* table, int at, int count)
{
    checkInsertAt(at);
    m_values.insert(m_values.begin() + at, static_cast<std::size_t>(count), 1);
    TColumn::InsertRows(table, at, count);
}

void TEnumColumn::DeleteRow(int row)
{
    checkRow(row);
    m_values.erase(m_values.begin() + row);
    TColumn::DeleteRow(row);
}

int TEnumColumn::GetInt(int row) const
{
    checkRow(row);
    return m_values[static_cast<std::size_t>(row)];
}

void TEnumColumn::SetInt(int row, int value)
{
    int first = 0;
    int last = 0;
    storeRange(row, RowGroup(), first, last);
    for (int r = first; r <= last; ++r) {
        if (m_values[static_cast<std::size_t>(r)] == value)
            continue;
        m_values[static_cast<std::size_t>(r)] = value;
        for (CellEditor& e : m_editors)
            if (e.Tag == r)
                e.ItemIndex = value - 1;
        CellChanged(r);
    }
}

QString TEnumColumn::GetText(int row) const
{
    return QString::number(GetInt(row));
}

void TEnumColumn::SetText(int row, const QString& text)
{
    const Extended x = evaluateEntry(text);
    if (!IsInteger(x))
        throw EAssignError(QStringLiteral("Value must be an integer."));
    SetInt(row, static_cast<int>(x));
}

int TEnumColumn::Width(const CanvasMetrics& canvas) const
{
    return std::max(3 * canvas.PixelsPerInch() / 2, TColumn::Width(canvas));
}

void TEnumColumn::WriteData(ValueWriter& writer) const
{
    TColumn::WriteData(writer);
    writer.WriteListBegin();
    for (const QString& item : m_items)
        writer.WriteString(item);
    writer.WriteListEnd();
}

void TEnumColumn::ReadData(ValueReader& reader)
{
    TColumn::ReadData(reader);
    m_items.clear();
    reader.ReadListBegin();
    while (!reader.EndOfList())
        m_items.append(reader.ReadString());
    reader.ReadListEnd();
}

void TEnumColumn::CopySettingsFrom(const TColumn& source)
{
    TColumn::CopySettingsFrom(source);
    m_items = static_cast<const TEnumColumn&>(source).m_items;
}

CellEditor* TEnumColumn::Editor(int i)
{
    if (i < 0 || i >= EditorCount())
        throw EListError(Format(QStringLiteral("List index out of bounds (%d)"), {i}));
    return &m_editors[static_cast<std::size_t>(i)];
}

void TEnumColumn::PlaceEditors(TableWindowHook* parent, int topRow, int count)
{
    if (!m_editors.empty() && m_editorParent && m_editorParent != parent)
        throw Exception(QStringLiteral("Error attempt to change parent with controls already allocated"));
    if (!parent)
        throw Exception(QStringLiteral("null parent"));
    m_editorParent = parent;
    m_editors.resize(static_cast<std::size_t>(std::max(0, count)));
    for (int i = 0; i < EditorCount(); ++i) {
        CellEditor& e = m_editors[static_cast<std::size_t>(i)];
        e.Tag = topRow + i;
        e.Visible = false;
        e.ItemIndex = e.Tag >= 0 && e.Tag < RowCount() ? GetInt(e.Tag) - 1 : -1;
    }
}

void TEnumColumn::ReleaseEditors()
{
    m_editorParent = nullptr;
    m_editors.clear();
}

void TEnumColumn::ComboChange(int editor, int itemIndex)
{
    CellEditor* e = Editor(editor);
    if (e->Tag < 0)
        throw Exception(QStringLiteral("Unexpected row for combobox"));
    e->ItemIndex = itemIndex;
    if (itemIndex + 1 != GetInt(e->Tag))
        SetInt(e->Tag, itemIndex + 1);
}

void TEnumColumn::ComboEnter(int editor)
{
    const int row = Editor(editor)->Tag;
    if (OnFocusCell)
        OnFocusCell(this, row);
}

// ---------------------------------------------------------------- TIntColumn

const ColumnKind TIntColumn::Class = {"TIntColumn", create<TIntColumn>};

TIntColumn::TIntColumn(TGridTable* table) : TColumn(table)
{
    fillToTableRows();
}

void TIntColumn::InsertRows(TGridTable* table, int at, int count)
{
    checkInsertAt(at);
    m_values.insert(m_values.begin() + at, static_cast<std::size_t>(count), DefaultValue);
    TColumn::InsertRows(table, at, count);
}

void TIntColumn::DeleteRow(int row)
{
    checkRow(row);
    m_values.erase(m_values.begin() + row);
    TColumn::DeleteRow(row);
}

int TIntColumn::GetInt(int row) const
{
    checkRow(row);
    return m_values[static_cast<std::size_t>(row)];
}

void TIntColumn::SetInt(int row, int value)
{
    int first = 0;
    int last = 0;
    storeRange(row, RowGroup(), first, last);
    for (int r = first; r <= last; ++r) {
        m_values[static_cast<std::size_t>(r)] = value;
        CellChanged(r);
    }
}

QString TIntColumn::GetText(int row) const
{
    return QString::number(GetInt(row));
}

void TIntColumn::SetText(int row, const QString& text)
{
    const Extended x = evaluateEntry(text);
    const QString between = QStringLiteral("Entry must be between %d and %d.");
    if (m_table && m_table->HasForm()) {
        if (std::fabs(x - std::trunc(x)) > 1e-10L)
            throw EAssignError(QStringLiteral("Entry must be an integer."));
        if (x < MinValue || x > MaxValue)
            throw EAssignError(Format(between, {MinValue, MaxValue}));
    }
    // Without a window the limits are not checked, but the value must still
    // be a 32-bit integer.
    std::int32_t value = 0;
    try {
        value = RoundToInt32(x);
    } catch (const EInvalidOp&) {
        throw EAssignError(Format(between, {-2147483647 - 1, 2147483647}));
    }
    SetInt(row, value);
}

int TIntColumn::Width(const CanvasMetrics& canvas) const
{
    return std::max(canvas.PixelsPerInch() / 2, TColumn::Width(canvas));
}

void TIntColumn::WriteData(ValueWriter& writer) const
{
    TColumn::WriteData(writer);
    writer.WriteInteger(DefaultValue);
    writer.WriteInteger(MinValue);
    writer.WriteInteger(MaxValue);
}

void TIntColumn::ReadData(ValueReader& reader)
{
    TColumn::ReadData(reader);
    DefaultValue = reader.ReadInteger();
    MinValue = reader.ReadInteger();
    MaxValue = reader.ReadInteger();
}

void TIntColumn::CopySettingsFrom(const TColumn& source)
{
    TColumn::CopySettingsFrom(source);
    const auto& s = static_cast<const TIntColumn&>(source);
    DefaultValue = s.DefaultValue;
    MinValue = s.MinValue;
    MaxValue = s.MaxValue;
}

// ---------------------------------------------------------------- TFloatColumn

const ColumnKind TFloatColumn::Class = {"TFloatColumn", create<TFloatColumn>};

TFloatColumn::TFloatColumn(TGridTable* table) : TColumn(table) {}

void TFloatColumn::SetDefaultValue(Extended value)
{
    if (!std::isfinite(value))
        throw EInvalidOp();
    m_defaultValue = value;
}

TFloatColumn* TFloatColumn::neighbour(int offset) const
{
    if (!m_table)
        return nullptr;
    const int index = m_table->IndexOfColumn(this);
    if (index < 0)
        return nullptr;
    const int other = index + offset;
    if (other < 0 || other >= m_table->ColumnCount())
        return nullptr;
    return dynamic_cast<TFloatColumn*>(m_table->Columns(other));
}

bool TFloatColumn::IsBottomOfTopDepth() const
{
    const TFloatColumn* previous = neighbour(-1);
    return previous && previous->TopDepth;
}

void TFloatColumn::InsertRows(TGridTable* table, int at, int count)
{
    checkInsertAt(at);
    TFloatColumn* bottom = nullptr;
    if (TopDepth && m_table) {
        const int index = m_table->IndexOfColumn(this);
        if (index >= 0 && index + 1 < m_table->ColumnCount()) {
            bottom = dynamic_cast<TFloatColumn*>(m_table->Columns(index + 1));
            if (!bottom)
                throw Exception(QStringLiteral("If column if a topdepth then the next column must be a float column"));
        }
    }
    const TFloatColumn* top = !bottom && IsBottomOfTopDepth() ? neighbour(-1) : nullptr;
    // Columns receive new rows in column order: the bottom column still has
    // its old rows while this top column fills, the top column already has
    // its new ones when the bottom column fills.
    const int bottomRows = bottom ? bottom->RowCount() : 0;
    for (int k = 0; k < count; ++k) {
        const int d = at + k;
        Extended v = m_defaultValue;
        if (bottom) {
            // A top continues from the bottom above it, also for a row
            // appended at the end.
            if (d >= 1 && d <= bottomRows)
                v = bottom->m_values[static_cast<std::size_t>(d - 1)];
        } else if (top) {
            if (d + 1 < top->RowCount())
                v = top->m_values[static_cast<std::size_t>(d + 1)];
        }
        m_values.insert(m_values.begin() + d, v);
    }
    TColumn::InsertRows(table, at, count);
}

void TFloatColumn::DeleteRow(int row)
{
    checkRow(row);
    if (TopDepth && row > 0 && row < RowCount() - 1) {
        const TFloatColumn* bottom = neighbour(1);
        if (bottom && row - 1 < bottom->RowCount())
            m_values[static_cast<std::size_t>(row + 1)] = bottom->m_values[static_cast<std::size_t>(row - 1)];
    }
    m_values.erase(m_values.begin() + row);
    TColumn::DeleteRow(row);
}

QString TFloatColumn::CaptionLine(int i) const
{
    const QString line = TColumn::CaptionLine(i);
    if (i != CaptionCount() - 1 || UnitsString.isEmpty())
        return line;
    return Format(QStringLiteral("%s (%s)  "), {line, UnitsCaption(UnitsString, m_table ? m_table->Units() : 1)});
}

Extended TFloatColumn::GetFloat(int row) const
{
    checkRow(row);
    return m_values[static_cast<std::size_t>(row)];
}

void TFloatColumn::storeLinked(int row, Extended value)
{
    m_values[static_cast<std::size_t>(row)] = value;
    CellChanged(row);
}

void TFloatColumn::SetFloat(int row, Extended value)
{
    if (!std::isfinite(value))
        throw EInvalidOp();
    checkRow(row);
    if (Grouped()) {
        int first = 0;
        int last = 0;
        storeRange(row, m_table ? m_table->RowGroup() : 1, first, last);
        for (int r = first; r <= last; ++r)
            storeLinked(r, value);
        return;
    }
    m_values[static_cast<std::size_t>(row)] = value;
    // The top of row r is the bottom of row r - 1.
    TFloatColumn* next = TopDepth ? neighbour(1) : nullptr;
    TFloatColumn* previous = neighbour(-1);
    if (next && row - 1 >= 0 && row - 1 < next->RowCount())
        next->storeLinked(row - 1, value);
    else if (previous && previous->TopDepth && row + 1 < previous->RowCount())
        previous->storeLinked(row + 1, value);
    CellChanged(row);
}

QString TFloatColumn::GetText(int row) const
{
    return generalNumberText(GetFloat(row), 8, localeDecimalSeparator());
}

void TFloatColumn::SetText(int row, const QString& text)
{
    SetFloat(row, evaluateEntry(text));
}

int TFloatColumn::Width(const CanvasMetrics& canvas) const
{
    return std::max(canvas.PixelsPerInch() / 2, TColumn::Width(canvas));
}

void TFloatColumn::SetUnits(int newUnits)
{
    const Extended f = UnitsFactor(m_table ? m_table->Units() : 1, newUnits, UnitsString);
    std::vector<Extended> converted(m_values.size());
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        converted[i] = m_values[i] * f;
        if (!std::isfinite(converted[i]))
            throw EInvalidOp(); // nothing changed
    }
    m_values = std::move(converted);
    for (int r = 0; r < RowCount(); ++r)
        CellChanged(r);
}

void TFloatColumn::WriteData(ValueWriter& writer) const
{
    TColumn::WriteData(writer);
    writer.WriteBoolean(TopDepth);
    writer.WriteString(kFloatLayout2);
    writer.WriteString(UnitsString);
    writer.WriteFloat(m_defaultValue);
}

void TFloatColumn::ReadData(ValueReader& reader)
{
    TColumn::ReadData(reader);
    TopDepth = reader.ReadBoolean();
    const QString s = reader.ReadString();
    if (s == kFloatLayout2) {
        UnitsString = reader.ReadString();
        m_defaultValue = reader.ReadFloat();
    } else { // the older layout: the units string alone
        UnitsString = s;
        m_defaultValue = 0.0L;
    }
    fillToTableRows();
}

void TFloatColumn::CopySettingsFrom(const TColumn& source)
{
    TColumn::CopySettingsFrom(source);
    const auto& s = static_cast<const TFloatColumn&>(source);
    TopDepth = s.TopDepth;
    UnitsString = s.UnitsString;
    m_defaultValue = s.m_defaultValue;
}

// ---------------------------------------------------------------- TStringColumn

const ColumnKind TStringColumn::Class = {"TStringColumn", create<TStringColumn>};

TStringColumn::TStringColumn(TGridTable* table) : TColumn(table)
{
    fillToTableRows();
}

void TStringColumn::InsertRows(TGridTable* table, int at, int count)
{
    checkInsertAt(at);
    for (int k = 0; k < count; ++k)
        m_values.insert(at + k, DefaultText);
    TColumn::InsertRows(table, at, count);
}

void TStringColumn::DeleteRow(int row)
{
    checkRow(row);
    m_values.removeAt(row);
    TColumn::DeleteRow(row);
}

QString TStringColumn::GetText(int row) const
{
    checkRow(row);
    return m_values[row];
}

void TStringColumn::SetText(int row, const QString& text)
{
    int first = 0;
    int last = 0;
    storeRange(row, RowGroup(), first, last);
    for (int r = first; r <= last; ++r) {
        m_values[r] = text;
        CellChanged(r);
    }
}

int TStringColumn::Width(const CanvasMetrics& canvas) const
{
    const int minimum = RoundToInt32(canvas.PixelsPerInch() * WidthInches);
    return std::max(minimum, TColumn::Width(canvas));
}

void TStringColumn::WriteData(ValueWriter& writer) const
{
    TColumn::WriteData(writer);
    writer.WriteString(DefaultText);
    writer.WriteFloat(WidthInches);
}

void TStringColumn::ReadData(ValueReader& reader)
{
    TColumn::ReadData(reader);
    DefaultText = reader.ReadString();
    WidthInches = reader.ReadFloat();
}

void TStringColumn::CopySettingsFrom(const TColumn& source)
{
    TColumn::CopySettingsFrom(source);
    const auto& s = static_cast<const TStringColumn&>(source);
    DefaultText = s.DefaultText;
    WidthInches = s.WidthInches;
}
