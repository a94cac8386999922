#include "DesktopEntries.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

struct Entry
{
    QString name;
    QString startupWMClass;
    bool hidden = false;
};

// Reads the keys Kestrum needs from the [Desktop Entry] group; localized names are left out.
Entry readEntry(const QString &path)
{
    Entry entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1024 * 1024)
        return entry;
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == u"[Desktop Entry]";
            continue;
        }
        if (!inMainGroup)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == u"Name")
            entry.name = value;
        else if (key == u"StartupWMClass")
            entry.startupWMClass = value;
        else if (key == u"NoDisplay" || key == u"Hidden")
            entry.hidden = entry.hidden || value == u"true";
    }
    return entry;
}

} // namespace

DesktopEntries::DesktopEntries(QStringList dataDirectories)
    : m_directories(std::move(dataDirectories))
{
}

QStringList DesktopEntries::standardDataDirectories()
{
    return QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
}

void DesktopEntries::load()
{
    m_loaded = true;
    // Earlier directories take precedence, as they do for the desktop itself.
    for (const QString &directory : std::as_const(m_directories)) {
        const QDir applications(directory + QStringLiteral("/applications"));
        // Filtered here rather than by a name filter, which would start the regular-expression
        // engine (and keep half a megabyte of it resident) for one suffix.
        const QStringList files = applications.entryList(QDir::Files | QDir::Readable);
        for (const QString &fileName : files) {
            if (!fileName.endsWith(QStringLiteral(".desktop")))
                continue;
            const Entry entry = readEntry(applications.filePath(fileName));
            if (entry.name.isEmpty())
                continue;
            const QString base = fileName.chopped(int(qstrlen(".desktop"))).toLower();
            if (!m_byFileName.contains(base))
                m_byFileName.insert(base, entry.name);
            if (!entry.startupWMClass.isEmpty() && !m_byWindowClass.contains(entry.startupWMClass.toLower()))
                m_byWindowClass.insert(entry.startupWMClass.toLower(), entry.name);
        }
    }
}

std::optional<QString> DesktopEntries::nameForWindowClass(const QString &windowClass, const QString &instance)
{
    if (!m_loaded)
        load();
    for (const QString &key : {windowClass.toLower(), instance.toLower()}) {
        if (key.isEmpty())
            continue;
        if (const auto it = m_byWindowClass.constFind(key); it != m_byWindowClass.constEnd())
            return *it;
        if (const auto it = m_byFileName.constFind(key); it != m_byFileName.constEnd())
            return *it;
        // Reverse-DNS file names ("org.gnome.Terminal") end in the class ("gnome-terminal" does not).
        for (auto it = m_byFileName.constBegin(); it != m_byFileName.constEnd(); ++it) {
            if (it.key().endsWith(u'.' + key))
                return *it;
        }
    }
    return std::nullopt;
}

std::optional<QString> DesktopEntries::applicationName(const QString &appId)
{
    if (appId.isEmpty())
        return std::nullopt;
    auto cached = m_byApplicationId.constFind(appId);
    if (cached == m_byApplicationId.constEnd()) {
        QString id = appId;
        if (id.endsWith(QStringLiteral(".desktop")))
            id.chop(int(qstrlen(".desktop")));
        cached = m_byApplicationId.insert(appId, nameForWindowClass(id).value_or(id));
    }
    return *cached;
}
