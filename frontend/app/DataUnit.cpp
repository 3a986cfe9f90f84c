#include "DataUnit.h"

#include "ColumnTypes.h"
#include "FileListLayout.h"
#include "Misc.h"
#include "NumberText.h"
#include "OutputNames.h"
#include "WordRead.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cmath>

QString DefaultProjectFileName()
{
    return QStringLiteral("NewPile.kld");
}

QString ProjectFolder(const QString& fileName)
{
    // Every name a project is opened or saved under is made absolute.
    const QFileInfo info(fileName);
    return info.isAbsolute() ? info.absolutePath() : QString();
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
    t->MaxRows = kMaxLayerRows;
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

// The reader's message form for a word that it refuses, at the word just read.
[[noreturn]] void refuseItem(const TWordReader& reader, const QString& expected)
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
        refuseItem(reader, expected);
    return n;
}

void setFloat(TGridTable& t, int col, int row, Extended value)
{
    t.Cells(col, row)->SetFloat(value);
}

// The factors of force, length and mass from one units system to the other.
struct UnitFactors {
    Extended F, L, M;
};

UnitFactors factorsTo(int units)
{
    // Force lbs/kN, length in/m, mass lb-sec2/in / Mg.
    if (units == 2)
        return {1.0L / 224.8089237L, 1.0L / 39.37007874L, 1.0L / 5.7101483L};
    return {224.8089237L, 39.37007874L, 5.7101483L};
}

struct Conversion {
    Extended* field;
    Extended factor;
};

// The dimensioned scalars of a project and their factors; the others
// (Poisson's ratio, damping ratios, frequencies, counts) keep their values.
std::array<Conversion, 9> scalarConversions(TProgramData& d, const UnitFactors& u)
{
    const Extended F = u.F, L = u.L, M = u.M;
    return {{
        {&d.PileModulus, F / (L * L)}, {&d.PileInertia, L * L * L * L}, {&d.PileArea, L * L},
        {&d.PileRadius, L},            {&d.PileDensity, M / (L * L * L)}, {&d.PileLength, L},
        {&d.BasematMass, M},           {&d.SuperstructureMass, M},       {&d.HorizontalSpring, F / L},
    }};
}

// The next number, refused (with its line and item) when the project could
// not be converted to the other units system: a value beyond the range of
// the conversion would make every later units change fail.
Extended readConvertible(TWordReader& reader, Extended factor)
{
    const Extended value = reader.ReadFloat();
    if (!std::isfinite(value * factor))
        refuseItem(reader,
                    QStringLiteral("A number within the range of the units conversion was expected but not found."));
    return value;
}

// Reads a scalar field of data with the factor that belongs to it.
void readScalar(TWordReader& reader, TProgramData& data, Extended& field, const UnitFactors& toOther)
{
    Extended factor = 1.0L;
    for (const Conversion& c : scalarConversions(data, toOther))
        if (c.field == &field)
            factor = c.factor;
    field = readConvertible(reader, factor);
}

// Reads a float cell with the factor of its column's unit expression.
void readCell(TWordReader& reader, TGridTable& t, int col, int row, int units)
{
    const auto* column = dynamic_cast<const TFloatColumn*>(t.Columns(col));
    const Extended factor = column ? UnitsFactor(units, 3 - units, column->UnitsString) : 1.0L;
    setFloat(t, col, row, readConvertible(reader, factor));
}

// True when every float cell of t can be converted to units.
bool tableConvertible(const TGridTable& t, int units)
{
    if (t.Units() == units)
        return true;
    for (int col = 0; col < t.ColumnCount(); ++col) {
        const auto* column = dynamic_cast<const TFloatColumn*>(t.Columns(col));
        if (!column)
            continue;
        const Extended factor = UnitsFactor(t.Units(), units, column->UnitsString);
        for (int row = 0; row < t.RowCount(); ++row)
            if (!std::isfinite(column->GetFloat(row) * factor))
                return false;
    }
    return true;
}

// A file that goes on after its last record is not of the layout it was
// read in (a 2.0 file read as 1.0, or the reverse).
void refuseWordsLeft(const TWordReader& reader, bool layout20)
{
    for (int i = reader.LineIndex(); i < reader.LineCount(); ++i) {
        const int from = i == reader.LineIndex() ? reader.WordIndex() : 0;
        if (reader.Line(i).Words.size() > from)
            throw EInOutError(QStringLiteral("Error on Line %1 Item %2\rMore was found after the last record: this is "
                                             "not a project file of the Keldor %3 layout.")
                                  .arg(i + 1)
                                  .arg(from + 1)
                                  .arg(layout20 ? QStringLiteral("2.0") : QStringLiteral("1.0")));
    }
}

// Reads records 2 to 10 into data and the tables, in file order.
void readRecords(TWordReader& reader, bool layout20, TProgramData& data, ProjectTables& tables)
{
    data.Title = reader.ReadLine();
    data.SetUnits(reader.ReadInteger(), tables);
    const int units = data.Units;
    const UnitFactors toOther = factorsTo(3 - units);

    TGridTable& d = tables.D();
    const int layers = readCount(reader, kMaxLayerRows,
                                 QStringLiteral("A layer count from 0 to %1 was expected but not found.").arg(kMaxLayerRows));
    d.SetRowCount(layers);
    for (int row = 0; row < layers; ++row) {
        d.Cells(1, row)->SetInt(reader.ReadInteger());
        readCell(reader, d, 0, row, units);
        for (int col = 2; col <= 5; ++col)
            readCell(reader, d, col, row, units);
    }

    readScalar(reader, data, data.PileModulus, toOther);
    readScalar(reader, data, data.PileInertia, toOther);
    readScalar(reader, data, data.PileArea, toOther);
    readScalar(reader, data, data.PilePoisson, toOther);
    readScalar(reader, data, data.PileRadius, toOther);
    readScalar(reader, data, data.PileDensity, toOther);
    readScalar(reader, data, data.PileDamping, toOther);
    readScalar(reader, data, data.PileLength, toOther);

    TGridTable& piles = tables.PileCoord();
    if (layout20) {
        const int count = readCount(
            reader, kMaxPiles, QStringLiteral("A pile count from 0 to %1 was expected but not found.").arg(kMaxPiles));
        piles.SetRowCount(count);
        for (int row = 0; row < count; ++row) {
            readCell(reader, piles, 0, row, units);
            readCell(reader, piles, 1, row, units);
        }
    } else {
        const QString gridError =
            QStringLiteral("A pile grid of 0 to %1 piles was expected but not found.").arg(kMaxPiles);
        const int countX = readCount(reader, kMaxPiles, gridError);
        const Extended spacingX = readConvertible(reader, UnitsFactor(units, 3 - units, QStringLiteral("L")));
        const int countY = readCount(reader, kMaxPiles, gridError);
        if (static_cast<long long>(countX) * countY > kMaxPiles)
            refuseItem(reader, gridError);
        const Extended spacingY = readConvertible(reader, UnitsFactor(units, 3 - units, QStringLiteral("L")));
        piles.SetRowCount(countX * countY);
        int row = 0;
        for (int k = 0; k < countY; ++k)
            for (int i = 0; i < countX; ++i, ++row) {
                setFloat(piles, 0, row, i * spacingX);
                setFloat(piles, 1, row, k * spacingY);
            }
    }

    readScalar(reader, data, data.BasematMass, toOther);
    readScalar(reader, data, data.SuperstructureMass, toOther);
    readScalar(reader, data, data.HorizontalSpring, toOther);
    readScalar(reader, data, data.StructureDamping, toOther);
    data.FrequencyCount = reader.ReadInteger();
    data.InitialFrequency = reader.ReadFloat();
    data.FrequencyIncrement = reader.ReadFloat();
    refuseWordsLeft(reader, layout20);
}

} // namespace

// ------------------------------------------------------------ ProjectTables

ProjectTables::ProjectTables() : m_soilLayers(MakeSoilLayerTable()), m_pileCoord(MakePileCoordinateTable())
{
    ResetRows();
}

ProjectTables::~ProjectTables() = default;

bool ProjectTables::IsModified() const
{
    const auto tables = All();
    return std::any_of(tables.begin(), tables.end(), [](const TGridTable* t) { return t->IsModified(); });
}

void ProjectTables::ClearModified()
{
    for (TGridTable* t : All())
        t->SetModified(false);
}

void ProjectTables::ResetRows()
{
    for (TGridTable* t : All()) {
        t->SetRowCount(0);
        t->SetRowCount(t->MinRows());
    }
}

void ProjectTables::GrowToMinRows()
{
    for (TGridTable* t : All())
        if (t->RowCount() < t->MinRows())
            t->SetRowCount(t->MinRows());
}

// -------------------------------------------------------------- TProgramData

TProgramData::TProgramData() : FileName(DefaultProjectFileName()), Title(QStringLiteral("New Pile")) {}

std::unique_ptr<TProgramData> TProgramData::Create(ProjectTables& tables)
{
    auto data = std::make_unique<TProgramData>();
    // The rows go first: the old project's values may be beyond what a
    // units change can hold, the new defaults never are.
    tables.ResetRows();
    for (TGridTable* t : tables.All())
        t->SetUnits(1);
    tables.ClearModified();
    return data;
}

std::unique_ptr<TProgramData> TProgramData::CreateFromFile(const QString& path, bool layout20, ProjectTables& tables,
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

QByteArray TProgramData::FileText(const ProjectTables& tables) const
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

void TProgramData::Save(const ProjectTables& tables) const
{
    SaveTo(FileName, tables);
}

void TProgramData::SaveTo(const QString& path, const ProjectTables& tables) const
{
    const auto failure = [&](const QString& reason) {
        return EInOutError(
            QStringLiteral("The project file %1 could not be saved.\r%2").arg(QDir::toNativeSeparators(path), reason));
    };
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        throw failure(
            QStringLiteral("The folder %1 does not exist.").arg(QDir::toNativeSeparators(info.absolutePath())));
    const QByteArray text = FileText(tables);
    QSaveFile file(path);
    // Where no temporary file can be made beside it (a read-only folder
    // holding a writable file), the file is written in place.
    file.setDirectWriteFallback(true);
    // Unbuffered, so that a short write shows at write() and never reaches commit().
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw failure(file.errorString());
    if (file.write(text) != text.size()) {
        const QString message = file.errorString();
        file.cancelWriting();
        throw failure(message);
    }
    if (!file.commit())
        throw failure(file.errorString());
}

void TProgramData::SetUnits(int units, ProjectTables& tables)
{
    units = std::clamp(units, 1, 2);
    if (units == Units)
        return;
    const auto conversions = scalarConversions(*this, factorsTo(units));
    // Every value is converted before any is stored, so that an overflow changes nothing.
    Extended converted[std::size(conversions)];
    for (std::size_t i = 0; i < std::size(conversions); ++i) {
        converted[i] = *conversions[i].field * conversions[i].factor;
        if (!std::isfinite(converted[i]))
            throw EInvalidOp();
    }
    const auto all = tables.All();
    for (const TGridTable* t : all)
        if (!tableConvertible(*t, units))
            throw EInvalidOp();
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
    return QString::fromStdString(kd::changeFileExtension(path.toStdString(), ext.toStdString()));
}

QByteArray FileListText(const QString& projectPath)
{
    return QByteArray::fromStdString(kd::fileListText(QFile::encodeName(projectPath).toStdString()));
}

QByteArray FileListText(const QString& projectPath, const QString& outputFolder)
{
    const std::string project = QFile::encodeName(projectPath).toStdString();
    return QByteArray::fromStdString(
        kd::fileListText(project, kd::outputNamesIn(QFile::encodeName(outputFolder).toStdString(), project)));
}
