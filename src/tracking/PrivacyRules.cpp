#include "PrivacyRules.h"

#include "Settings.h"

void PrivacyRules::update(const Settings &settings)
{
    const QVariant applications = settings.value(SettingsKey::PrivateApplications);
    const QVariant patterns = settings.value(SettingsKey::PrivateTitlePatterns);
    if (applications == m_applicationsSetting && patterns == m_patternsSetting)
        return;
    m_applicationsSetting = applications;
    m_patternsSetting = patterns;
    m_applications = settings.textListValue(SettingsKey::PrivateApplications);
    m_patterns.clear();
    for (const QString &pattern : settings.textListValue(SettingsKey::PrivateTitlePatterns)) {
        // A pattern that is no valid expression hides nothing (the preferences say so).
        QRegularExpression expression(pattern, QRegularExpression::CaseInsensitiveOption);
        if (expression.isValid() && !pattern.isEmpty())
            m_patterns.append(expression);
    }
}

std::optional<QString> PrivacyRules::recordedTitle(const QString &application, const std::optional<QString> &title) const
{
    if (!title)
        return title;
    if (m_applications.contains(application, Qt::CaseInsensitive))
        return std::nullopt;
    for (const QRegularExpression &pattern : m_patterns) {
        if (pattern.match(*title).hasMatch())
            return PrivateTitle;
    }
    return title;
}

QStringList PrivacyRules::invalidPatterns(const QStringList &patterns)
{
    QStringList invalid;
    for (const QString &pattern : patterns) {
        const QRegularExpression expression(pattern);
        if (!expression.isValid())
            invalid.append(QStringLiteral("%1 (%2)").arg(pattern, expression.errorString()));
    }
    return invalid;
}
