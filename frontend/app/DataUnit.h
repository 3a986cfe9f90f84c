#pragma once

// The project model: the scalar data of one project (TProgramData), the two
// tables that hold its soil layers and pile positions (ProjectTables), and
// the project file they are written to and read from.

#include "Extended.h"
#include "InputLimits.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class TGridTable;

// Name of a project that has never been saved under a name of its own.
QString DefaultProjectFileName();

// The folder of the project file `fileName`; empty for a project never saved
// (the default name, which names no folder).
QString ProjectFolder(const QString& fileName);

// What the reader accepts: the pile table's maximum and a sane bound on the
// layer table, which holds it too, so that every project the front end saves
// opens again (the analysis itself takes at most 40 sublayers in all and
// refuses more with its own message).
using kd::kMaxPiles;
inline constexpr int kMaxLayerRows = 1000;

// The definitions of the soil-layer and pile-coordinate tables (captions,
// columns, limits), without rows.
std::unique_ptr<TGridTable> MakeSoilLayerTable();
std::unique_ptr<TGridTable> MakePileCoordinateTable();

// The soil-layer table D and the pile-coordinate table PileCoord, alive as
// long as the main window; a new project only empties and refills them.
class ProjectTables {
public:
    ProjectTables();
    ~ProjectTables();
    ProjectTables(const ProjectTables&) = delete;
    ProjectTables& operator=(const ProjectTables&) = delete;

    TGridTable& D() const { return *m_soilLayers; }
    TGridTable& PileCoord() const { return *m_pileCoord; }
    std::vector<TGridTable*> All() const { return {m_soilLayers.get(), m_pileCoord.get()}; }

    bool IsModified() const;
    void ClearModified();
    // Every table holds exactly MinRows rows of column defaults.
    void ResetRows();
    // Every table below MinRows grows to it.
    void GrowToMinRows();

private:
    std::unique_ptr<TGridTable> m_soilLayers;
    std::unique_ptr<TGridTable> m_pileCoord;
};

class TProgramData {
public:
    // The values of a new project; the tables are not touched.
    TProgramData();

    int Units = 1;
    QString FileName;
    QString Title;
    Extended PileLength = 0.0L;
    Extended BasematMass = 0.0L;
    Extended SuperstructureMass = 0.0L;
    Extended PileArea = 0.0L;
    Extended PileInertia = 0.0L;
    Extended PileModulus = 0.0L;
    Extended PilePoisson = 0.0L;
    Extended PileRadius = 0.0L;
    Extended PileDensity = 0.0L;
    Extended PileDamping = 0.0L;
    Extended HorizontalSpring = 0.0L;
    Extended StructureDamping = 0.0L;
    int FrequencyCount = 0;
    Extended InitialFrequency = 0.0L;
    Extended FrequencyIncrement = 0.0L;

    // A new project: the values above, the tables in English units with
    // MinRows rows of defaults, nothing marked modified.
    static std::unique_ptr<TProgramData> Create(ProjectTables& tables);

    // Reads a project file in the 2.0 layout (layout20) or the 1.0 layout.
    // A value that could not be converted to the other units system, and
    // words after the last record (a file of the other layout), are read
    // errors too. A read error stops the reading where it occurs: the
    // project keeps what was read, the tables grow to their minimum rows,
    // and the reader's message is returned in readError (empty when the
    // file was read whole).
    static std::unique_ptr<TProgramData> CreateFromFile(const QString& path, bool layout20, ProjectTables& tables,
                                                        QString& readError);

    // The project file's bytes (2.0 layout).
    QByteArray FileText(const ProjectTables& tables) const;
    // Writes the project file at FileName in one step: the old file stays
    // as it was when any part fails (EInOutError naming the file and the
    // reason). In a folder where no temporary file can be made the file is
    // written in place.
    void Save(const ProjectTables& tables) const;
    // The same at path; FileName is not changed.
    void SaveTo(const QString& path, const ProjectTables& tables) const;

    // Converts the scalars and the tables to units 1 (English) or 2 (SI);
    // other values are clamped to 1..2. The same units change nothing, and
    // so does a conversion that would overflow (EInvalidOp).
    void SetUnits(int units, ProjectTables& tables);
};

// The title as the project file's first record: every line break and other
// control character becomes a blank, so that the title stays one record.
QString SingleLineTitle(const QString& title);

// A path with its extension (from the last "." of the file name on)
// replaced by ext, which includes its "."; appended when there is none
// (kd::changeFileExtension).
QString ChangeFileExt(const QString& path, const QString& ext);

// The file list for the analysis program, in the file-name encoding
// (kd::fileListText; throws kd::FileListRefused for a name the list cannot
// carry exactly).
QByteArray FileListText(const QString& projectPath);
// The file list for a run that writes the project's outputs, under their own
// file names, in outputFolder (kd::outputNamesIn).
QByteArray FileListText(const QString& projectPath, const QString& outputFolder);
