#include "DataUnit.h"

#include "ColumnTypes.h"
#include "Misc.h"
#include "NumberText.h"
#include "WordRead.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

QString DefaultProjectFileName()
{
    return QStringLiteral("NewPile.kld");
}

namespace {

TFloatColumn* addFloat(TGridTable& t, const QStringList& captions, const QString& units)
{
    auto c = std::make_unique<TFloatColumn>(&t);
    c->Captions() = captions;
    c->UnitsString = units;
    return static_cast<TFloatColumn*>(t.AddColumn(std::move(c)));
}

TIntColumn* addInt(TGridTable& t, const QStringList& captions, int defaultValue, int minValue, int maxValue)
{
    auto c = std::make_unique<TIntColumn>(&t);
    c->Captions() = captions;
    c->DefaultValue = defaultValue;
    c->MinValue = minValue;
    c->MaxValue = maxValue;
    return static_cast<TIntColumn*>(t.AddColumn(std::move(c)));
}

} // namespace

std::unique_ptr<TGridTable> MakeSoilLayerTable()
{
    auto t = std::make_unique<TGridTable>();
    t->Caption = QStringLiteral("Soil Properties");
    t->SetIdentifier(13);
    t->TopLeft = QStringLiteral("Layer");
    t->HardwiredButton = true;
    t->SetRowGroup(1);
    t->SetMinRows(1);
    t->MaxRows = kMaxLayers;
    addFloat(*t, {QStringLiteral("Layer "), QStringLiteral("thickness")}, QStringLiteral("L"));
    addInt(*t, {QStringLiteral("Number of "), QStringLiteral("sublayers")}, 20, 1, 40);
    addFloat(*t, {QStringLiteral("Shear Wave "), QStringLiteral("Velocity")}, QStringLiteral("L/F5"));
    addFloat(*t, {QStringLiteral("Poisson's "), QStringLiteral("ratio")}, QString());
    addFloat(*t, {QStringLiteral("Mass density"), QString()}, QStringLiteral("F4/L^3"));
    addFloat(*t, {QStringLiteral("Damping "), QStringLiteral("ratio")}, QString());
    return t;
}

std::unique_ptr<TGridTable> MakePileCoordinateTable()
{
    auto t = std::make_unique<TGridTable>();
    t->Caption = QStringLiteral("Pile Coordinates");
    t->SetIdentifier(0);
    t->HardwiredButton = true;
    t->SetRowGroup(1);
    t->SetMinRows(1);
    t->MaxRows = kMaxPiles;
    addFloat(*t, {QStringLiteral("X-Coord.")}, QStringLiteral("L"));
    addFloat(*t, {QStringLiteral("Y-Coord.")}, QStringLiteral("L"));
    return t;
}

namespace {

// The reader's message form for a count that it refuses, at the word just read.
[[noreturn]] void refuseCount(const TWordReader& reader, const QString& expected)
{
    throw EInOutError(QStringLiteral("Error on Line %1 Item %2\r%3")
                          .arg(reader.LineIndex() + 1)
                          .arg(reader.WordIndex())
                          .arg(expected));
}

int readCount(TWordReader& reader, int maximum, const QString& expected)
{
    const int n = reader.ReadInteger();
    if (n < 0 || n > maximum)
        refuseCount(reader, expected);
    return n;
}

void setFloat(TGridTable& t, int col, int row, Extended value)
{
    t.Cells(col, row)->SetFloat(value);
}

// Reads records 2 to 10 into data and the tables, in file order.
void readRecords(TWordReader& reader, bool layout20, TProgramData& data, TProjectTables& tables)
{
    data.Title = reader.ReadLine();
    data.SetUnits(reader.ReadInteger(), tables);

    TGridTable& d = tables.D();
    const int layers = readCount(reader, kMaxLayers,
                                 QStringLiteral("A layer count from 0 to %1 was expected but not found.").arg(kMaxLayers));
    d.SetRowCount(layers);
    for (int row = 0; row < layers; ++row) {
        d.Cells(1, row)->SetInt(reader.ReadInteger());
        setFloat(d, 0, row, reader.ReadFloat());
        for (int col = 2; col <= 5; ++col)
            setFloat(d, col, row, reader.ReadFloat());
    }

    data.PileModulus = reader.ReadFloat();
    data.PileInertia = reader.ReadFloat();
    data.PileArea = reader.ReadFloat();
    data.PilePoisson = reader.ReadFloat();
    data.PileRadius = reader.ReadFloat();
    data.PileDensity = reader.ReadFloat();
    data.PileDamping = reader.ReadFloat();
    data.PileLength = reader.ReadFloat();

    TGridTable& piles = tables.PileCoord();
    if (layout20) {
        const int count = readCount(
            reader, kMaxPiles, QStringLiteral("A pile count from 0 to %1 was expected but not found.").arg(kMaxPiles));
        piles.SetRowCount(count);
        for (int row = 0; row < count; ++row) {
            setFloat(piles, 0, row, reader.ReadFloat());
            setFloat(piles, 1, row, reader.ReadFloat());
        }
    } else {
        const QString gridError =
            QStringLiteral("A pile grid of 0 to %1 piles was expected but not found.").arg(kMaxPiles);
        const int countX = readCount(reader, kMaxPiles, gridError);
        const Extended spacingX = reader.ReadFloat();
        const int countY = readCount(reader, kMaxPiles, gridError);
        if (static_cast<long long>(countX) * countY > kMaxPiles)
            refuseCount(reader, gridError);
        const Extended spacingY = reader.ReadFloat();
        piles.SetRowCount(countX * countY);
        int row = 0;
        for (int k = 0; k < countY; ++k)
            for (int i = 0; i < countX; ++i, ++row) {
                setFloat(piles, 0, row, i * spacingX);
                setFloat(piles, 1, row, k * spacingY);
            }
    }

    data.BasematMass = reader.ReadFloat();
    data.SuperstructureMass = reader.ReadFloat();
    data.HorizontalSpring = reader.ReadFloat();
    data.StructureDamping = reader.ReadFloat();
    data.FrequencyCount = reader.ReadInteger();
    data.InitialFrequency = reader.ReadFloat();
    data.FrequencyIncrement = reader.ReadFloat();
}

} // namespace

// ------------------------------------------------------------ TProjectTables

TProjectTables::TProjectTables() : m_soilLayers(MakeSoilLayerTable()), m_pileCoord(MakePileCoordinateTable())
{
    ResetRows();
}

TProjectTables::~TProjectTables() = default;

bool TProjectTables::IsModified() const
{
    const auto tables = All();
    return std::any_of(tables.begin(), tables.end(), [](const TGridTable* t) { return t->IsModified(); });
}

void TProjectTables::ClearModified()
{
    for (TGridTable* t : All())
        t->SetModified(false);
}

void TProjectTables::ResetRows()
{
    for (TGridTable* t : All()) {
        t->SetRowCount(0);
        t->SetRowCount(t->MinRows());
    }
}

void TProjectTables::GrowToMinRows()
{
    for (TGridTable* t : All())
        if (t->RowCount() < t->MinRows())
            t->SetRowCount(t->MinRows());
}

// -------------------------------------------------------------- TProgramData

TProgramData::TProgramData() : FileName(DefaultProjectFileName()), Title(QStringLiteral("New Pile")) {}

std::unique_ptr<TProgramData> TProgramData::Create(TProjectTables& tables)
{
    auto data = std::make_unique<TProgramData>();
    for (TGridTable* t : tables.All())
        t->SetUnits(1);
    tables.ResetRows();
    tables.ClearModified();
    return data;
}

std::unique_ptr<TProgramData> TProgramData::CreateFromFile(const QString& path, bool layout20, TProjectTables& tables,
                                                           QString& readError)
{
    auto data = Create(tables);
    data->FileName = path;
    for (TGridTable* t : tables.All())
        t->SetRowCount(0);
    readError.clear();
    try {
        TWordReader reader(path);
        readRecords(reader, layout20, *data, tables);
    } catch (const EInOutError& e) {
        readError = e.Message();
    }
    tables.GrowToMinRows();
    tables.ClearModified();
    return data;
}

QString SingleLineTitle(const QString& title)
{
    QString line = title;
    for (QChar& c : line) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line
            || category == QChar::Separator_Paragraph)
            c = u' ';
    }
    return line;
}

QByteArray TProgramData::FileText(const TProjectTables& tables) const
{
    const QString eol = QStringLiteral("\r\n");
    const QChar blank = u' ';
    QString text;
    text += SingleLineTitle(Title) + eol;
    text += QString::number(Units) + blank + eol;

    const TGridTable& d = tables.D();
    text += QString::number(d.RowCount()) + eol;
    for (int row = 0; row < d.RowCount(); ++row) {
        text += QString::number(d.Cells(1, row)->GetInt());
        for (int col : {0, 2, 3, 4, 5})
            text += blank + fileNumberText(d.Cells(col, row)->GetFloat());
        text += eol;
    }

    QStringList pile;
    for (Extended v : {PileModulus, PileInertia, PileArea, PilePoisson, PileRadius, PileDensity, PileDamping})
        pile << fileNumberText(v);
    text += pile.join(blank) + eol;
    text += fileNumberText(PileLength) + eol;

    const TGridTable& piles = tables.PileCoord();
    text += QString::number(piles.RowCount()) + eol;
    for (int row = 0; row < piles.RowCount(); ++row)
        text += fileNumberText(piles.Cells(0, row)->GetFloat()) + blank + fileNumberText(piles.Cells(1, row)->GetFloat())
                + blank + eol;

    text += fileNumberText(BasematMass) + blank + fileNumberText(SuperstructureMass) + blank
            + fileNumberText(HorizontalSpring) + blank + fileNumberText(StructureDamping) + eol;
    text += QString::number(FrequencyCount) + blank + fileNumberText(InitialFrequency) + blank
            + fileNumberText(FrequencyIncrement) + eol;
    return text.toUtf8();
}

void TProgramData::Save(const TProjectTables& tables) const
{
    const QByteArray text = FileText(tables);
    QSaveFile file(FileName);
    // Unbuffered, so that a short write shows at write() and never reaches commit().
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw EInOutError(file.errorString());
    if (file.write(text) != text.size()) {
        const QString message = file.errorString();
        file.cancelWriting();
        throw EInOutError(message);
    }
    if (!file.commit())
        throw EInOutError(file.errorString());
}

void TProgramData::SetUnits(int units, TProjectTables& tables)
{
    units = std::clamp(units, 1, 2);
    if (units == Units)
        return;
    // Force lbs/kN, length in/m, mass lb-sec2/in / Mg.
    const bool toSI = units == 2;
    const Extended F = toSI ? 1.0L / 224.8089237L : 224.8089237L;
    const Extended L = toSI ? 1.0L / 39.37007874L : 39.37007874L;
    const Extended M = toSI ? 1.0L / 5.7101483L : 5.7101483L;

    struct Conversion {
        Extended* field;
        Extended factor;
    };
    const Conversion conversions[] = {
        {&PileModulus, F / (L * L)}, {&PileInertia, L * L * L * L}, {&PileArea, L * L},
        {&PileRadius, L},            {&PileDensity, M / (L * L * L)}, {&PileLength, L},
        {&BasematMass, M},           {&SuperstructureMass, M},       {&HorizontalSpring, F / L},
    };
    // Every value is converted before any is stored, so that an overflow changes nothing.
    Extended converted[std::size(conversions)];
    for (std::size_t i = 0; i < std::size(conversions); ++i) {
        converted[i] = *conversions[i].field * conversions[i].factor;
        if (!std::isfinite(converted[i]))
            throw EInvalidOp();
    }
    const auto all = tables.All();
    const int oldUnits = Units;
    for (std::size_t t = 0; t < all.size(); ++t) {
        try {
            all[t]->SetUnits(units);
        } catch (...) {
            for (std::size_t back = 0; back < t; ++back)
                all[back]->SetUnits(oldUnits);
            throw;
        }
    }
    for (std::size_t i = 0; i < std::size(conversions); ++i)
        *conversions[i].field = converted[i];
    Units = units;
}

QString ChangeFileExt(const QString& path, const QString& ext)
{
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot > slash)
        return path.left(dot) + ext;
    return path + ext;
}

QByteArray FileListText(const QString& projectPath)
{
    const QString eol = QStringLiteral("\r\n");
    const QString notes = ChangeFileExt(projectPath, QStringLiteral(".klr"));
    const QString text = projectPath + eol + ChangeFileExt(projectPath, QStringLiteral(".klo")) + eol
                         + ChangeFileExt(projectPath, QStringLiteral(".klp")) + eol + notes + eol + notes + eol + notes
                         + eol;
    return QFile::encodeName(text);
}
