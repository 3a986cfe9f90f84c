#include "PltData.h"

#include "NumberText.h"
#include "VrnString.h"

#include <algorithm>

namespace {

struct UnitNames {
    const char* f;
    const char* f1;
    const char* f2;
    const char* l;
    const char* l1;
    const char* l2;
};

const UnitNames kEnglish{"lbs", "kips", "tons", "in", "in", "ft"};
const UnitNames kSI{"kN", "kN", "kN", "m", "mm", "m"};

// Replaces the most specific kind present: Sym2, else Sym1, else Sym.
QString replaceKind(const QString& text, QChar sym, const char* name, const char* name1, const char* name2)
{
    const QString s2 = QString(sym) + u'2';
    const QString s1 = QString(sym) + u'1';
    if (text.contains(s2))
        return ReplaceAll(text, s2, QString::fromLatin1(name2));
    if (text.contains(s1))
        return ReplaceAll(text, s1, QString::fromLatin1(name1));
    return ReplaceAll(text, QString(sym), QString::fromLatin1(name));
}

} // namespace

const LineRgb LineColors[LineColorCount] = {
    {0, 0, 0},       {0, 0, 255},     {255, 0, 0},     {0, 128, 0},     {128, 0, 128},   {128, 0, 0},
    {0, 0, 128},     {255, 0, 255},   {128, 128, 0},   {0, 128, 128},   {128, 128, 128}, {0, 255, 0},
    {128, 128, 128}, {192, 192, 192}, {192, 192, 192}, {255, 255, 0},   {0, 255, 255},
};

QString ExpandPlotUnits(const QString& text, int units)
{
    if (units >= 3)
        return text;
    const UnitNames& n = units == 2 ? kSI : kEnglish;
    const QString forces = replaceKind(text, u'F', n.f, n.f1, n.f2);
    return replaceKind(forces, u'L', n.l, n.l1, n.l2);
}

QString AxisCaptionText(const QString& caption, const QString& unitsText, int units)
{
    if (unitsText.isEmpty())
        return caption;
    return caption + QStringLiteral(" (") + ExpandPlotUnits(unitsText, units) + u')';
}

TLine::TLine(TGraphPlot* owner) : Owner(owner)
{
    SetCount(owner ? owner->PointCount() : 0);
    Number = owner ? owner->LineCount() + 1 : 1;
}

void TLine::SetCount(int n)
{
    n = std::max(n, 0);
    while (Points.Count() > n)
        Points.Delete(Points.Count() - 1);
    while (Points.Count() < n)
        Points.Add(new TFloatPoint);
}

QString TLine::GetName() const
{
    if (!Name.isEmpty())
        return Name;
    const int index = Owner ? Owner->IndexOfLine(this) : -1;
    if (Owner && index >= 0 && index < Owner->Names.size())
        return Owner->Names.at(index);
    const QString prefix = Owner ? Owner->CurveName : QString();
    return prefix + generalNumberText(Number, 15, localeDecimalSeparator());
}

TGraphPlot::TGraphPlot(QObject* owner) : QObject(owner) {}

TGraphPlot::~TGraphPlot()
{
    if (m_form)
        m_form->PlotDestroyed();
    m_form.reset();
}

void TGraphPlot::SetFormFactory(WindowFactory factory)
{
    m_formFactory = std::move(factory);
}

void TGraphPlot::SetUnits(int value)
{
    const int units = std::clamp(value, 1, 3);
    if (units == m_units)
        return;
    m_units = units;
    Changed();
}

int TGraphPlot::PointCount() const
{
    return m_lines.Count() == 0 ? 0 : m_lines.Items(0)->Count();
}

TFloatPoint& TGraphPlot::Point(int i, int j) const
{
    return *m_lines.Items(i)->Points.Items(j);
}

void TGraphPlot::SetLineCount(int n)
{
    n = std::max(n, 0);
    if (n == m_lines.Count())
        return;
    while (m_lines.Count() > n)
        m_lines.Delete(m_lines.Count() - 1);
    while (m_lines.Count() < n)
        m_lines.Add(new TLine(this));
    Changed();
}

void TGraphPlot::SetPointCount(int n)
{
    if (m_lines.Count() == 0)
        return;
    for (int i = 0; i < m_lines.Count(); ++i)
        m_lines.Items(i)->SetCount(n);
    Changed();
}

void TGraphPlot::Show()
{
    if (!m_form) {
        if (!m_formFactory)
            return;
        m_form = m_formFactory(*this);
        if (!m_form)
            return;
    }
    m_form->ShowWindow();
}

void TGraphPlot::FormClosed()
{
    m_form.reset();
}

void TGraphPlot::BeginUpdate()
{
    ++m_updateDepth;
}

void TGraphPlot::EndUpdate()
{
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth == 0)
        emit dataChanged();
}

void TGraphPlot::Changed()
{
    if (m_updateDepth == 0)
        emit dataChanged();
}
