#pragma once

#include <QList>
#include <QRegularExpression>
#include <QStringList>
#include <QVariant>

#include <optional>

class Settings;

// What the user keeps out of the timings: applications whose window titles are never
// recorded, and title patterns whose windows are recorded as "(private)". The tracker applies
// them where it reads titles, so nothing private reaches the store, the files or the history.
class PrivacyRules
{
public:
    static inline const QString PrivateTitle = QStringLiteral("(private)"); // not translated: stored as the window's name

    // The rules as the settings hold them now; compiled again only when they change.
    void update(const Settings &settings);

    // The title as it may be recorded: none for an application whose titles are private,
    // "(private)" for one a pattern matches, else the title itself.
    std::optional<QString> recordedTitle(const QString &application, const std::optional<QString> &title) const;

    // Those of the patterns that are no valid regular expression, with the reason.
    static QStringList invalidPatterns(const QStringList &patterns);

private:
    QVariant m_applicationsSetting;
    QVariant m_patternsSetting;
    QStringList m_applications;
    QList<QRegularExpression> m_patterns;
};
