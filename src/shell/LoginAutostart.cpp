#include "LoginAutostart.h"

#include "persistence/AtomicFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <algorithm>

Q_LOGGING_CATEGORY(lcAutostart, "kestrum.autostart")

namespace {

const QString EntryName = QStringLiteral("kestrum.desktop");

// A key's value in the entry's main group, or an empty string.
QString mainGroupValue(const QByteArray &text, const QByteArray &key)
{
    bool inMainGroup = false;
    for (const QByteArray &rawLine : text.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (inMainGroup && equals > 0 && line.left(equals).trimmed() == key)
            return QString::fromUtf8(line.mid(equals + 1).trimmed());
    }
    return QString();
}

} // namespace

LoginAutostart::LoginAutostart(QString directory, QString program)
    : m_directory(std::move(directory))
    , m_program(program.isEmpty() ? QCoreApplication::applicationFilePath() : std::move(program))
{
}

QString LoginAutostart::defaultDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
}

QString LoginAutostart::entryPath() const
{
    return m_directory + u'/' + EntryName;
}

bool LoginAutostart::isEnabled() const
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = file.read(64 * 1024);
    const auto isTrue = [](const QString &value) { return value.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0; };
    const auto isFalse = [](const QString &value) { return value.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0; };
    return !isTrue(mainGroupValue(text, "Hidden")) && !isFalse(mainGroupValue(text, "X-GNOME-Autostart-enabled"));
}

bool LoginAutostart::setEnabled(bool enabled, QString *error)
{
    QString reason;
    bool ok = true;
    if (enabled) {
        ok = makePrivateDirectory(m_directory, &reason) && writeFileAtomically(entryPath(), entryText(m_program), &reason);
    } else if (QFile::exists(entryPath())) {
        QFile file(entryPath());
        ok = file.remove();
        if (!ok)
            reason = tr("%1 could not be removed: %2").arg(entryPath(), file.errorString());
    }
    if (!ok) {
        qCWarning(lcAutostart).noquote() << reason;
        if (error)
            *error = reason;
    }
    return ok;
}

QString LoginAutostart::execArgument(const QString &program)
{
    // Reserved characters make quoting necessary; inside quotes ", `, $ and \ take a backslash.
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString argument = program;
    const bool mustQuote = std::any_of(program.cbegin(), program.cend(), [](QChar c) { return reserved.contains(c); });
    if (mustQuote) {
        QString quoted;
        for (QChar c : program) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        argument = u'"' + quoted + u'"';
    }
    // Then the string value's own escapes, and "%%" for a literal percent sign.
    argument.replace(u'\\', QStringLiteral("\\\\"));
    argument.replace(u'%', QStringLiteral("%%"));
    argument.replace(u'\n', QStringLiteral("\\n"));
    argument.replace(u'\t', QStringLiteral("\\t"));
    return argument;
}

QByteArray LoginAutostart::entryText(const QString &program)
{
    // The entry says its comment in every language Kestrum speaks, as its desktop entry does:
    // the desktop picks the user's.
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=Kestrum\n"
                                  // not translated: a desktop entry, its translations follow it
                                  "Comment=Measures how long you actively work in each application\n"
                                  "Comment[de]=Misst, wie lange Sie in jeder Anwendung aktiv arbeiten\n"
                                  "Comment[fr]=Mesure le temps de travail actif dans chaque application\n"
                                  "Exec=%1\n"
                                  "Icon=kestrum\n"
                                  "Terminal=false\n"
                                  "X-GNOME-Autostart-enabled=true\n")
                       .arg(execArgument(program));
    return text.toUtf8();
}
