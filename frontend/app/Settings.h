#pragma once

// The front end's settings (INI file of organisation "Varnoth", application
// "KELDOR", group "2.0"): the text editor and the ten recent project files.

#include <QString>
#include <QStringList>

#include <array>

class RecentFileList {
public:
    static constexpr int Size = 10;

    // Entry I (0 the most recent); empty when unused.
    const QString& Entry(int i) const { return m_entries.at(static_cast<std::size_t>(i)); }
    void SetEntry(int i, const QString& path) { m_entries.at(static_cast<std::size_t>(i)) = path; }
    void Clear();
    // Number of non-empty entries.
    int Count() const;
    // Puts path at the top (exact, case-sensitive comparison); false when it
    // already was the top entry and nothing changed.
    bool Update(const QString& path);
    // Caption of the File menu item of entry I: its number, a blank, and the
    // path, relative to the current directory when it lies inside it.
    QString MenuCaption(int i, const QString& currentDirectory) const;

private:
    std::array<QString, Size> m_entries;
};

struct AppSettings {
    QString WordProcessor;
    RecentFileList Recent;
};

// Reads the settings; missing values read as empty (an empty entry between
// others is dropped), and a store that cannot be read gives empty settings.
AppSettings ReadSettings();
// Writes every value; failures are ignored.
void WriteSettings(const AppSettings& settings);
