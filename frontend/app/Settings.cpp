#include "Settings.h"

#include <QDir>
#include <QSettings>

namespace {

QString fileKey(int i)
{
    return QStringLiteral("File%1").arg(i + 1);
}

const QString kGroup = QStringLiteral("2.0");
const QString kWordProcessor = QStringLiteral("Word Processor");

} // namespace

void RecentFileList::Clear()
{
    for (QString& e : m_entries)
        e.clear();
}

int RecentFileList::Count() const
{
    int n = 0;
    for (const QString& e : m_entries)
        if (!e.isEmpty())
            ++n;
    return n;
}

bool RecentFileList::Update(const QString& path)
{
    if (m_entries[0] == path)
        return false;
    int i = 1;
    while (i < Size - 1 && m_entries[static_cast<std::size_t>(i)] != path)
        ++i;
    // Entries 0..i-1 move down one place; entry i (the path, or the oldest) is dropped.
    for (int k = i; k > 0; --k)
        m_entries[static_cast<std::size_t>(k)] = m_entries[static_cast<std::size_t>(k - 1)];
    m_entries[0] = path;
    return true;
}

QString RecentFileList::MenuCaption(int i, const QString& currentDirectory) const
{
    QString shown = Entry(i);
    QString prefix = currentDirectory;
    if (!prefix.endsWith(u'/'))
        prefix += u'/';
    // Only a path inside the current directory is shortened: the directory
    // found further along a path ("/srv/tmp/..." for "/tmp") is not its folder.
    if (shown.startsWith(prefix))
        shown.remove(0, prefix.size());
    return QString::number(i + 1) + u' ' + QDir::toNativeSeparators(shown);
}

AppSettings ReadSettings()
{
    AppSettings result;
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Varnoth"), QStringLiteral("KELDOR"));
    if (store.status() != QSettings::NoError)
        return result;
    if (!store.childGroups().contains(kGroup))
        return result;
    store.beginGroup(kGroup);
    result.WordProcessor = store.value(kWordProcessor).toString();
    // Gaps are closed, so that the menu's first Count entries are the files.
    int n = 0;
    for (int i = 0; i < RecentFileList::Size; ++i) {
        const QString path = store.value(fileKey(i)).toString();
        if (!path.isEmpty())
            result.Recent.SetEntry(n++, path);
    }
    store.endGroup();
    if (store.status() != QSettings::NoError)
        return AppSettings();
    return result;
}

void WriteSettings(const AppSettings& settings)
{
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Varnoth"), QStringLiteral("KELDOR"));
    store.beginGroup(kGroup);
    store.setValue(kWordProcessor, settings.WordProcessor);
    for (int i = 0; i < RecentFileList::Size; ++i)
        store.setValue(fileKey(i), settings.Recent.Entry(i));
    store.endGroup();
    store.sync();
}
