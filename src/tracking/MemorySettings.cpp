#include "MemorySettings.h"

MemorySettings::MemorySettings(QVariantMap defaults)
    : m_defaults(std::move(defaults))
{
}

QVariant MemorySettings::value(const QString &key) const
{
    const auto it = m_userValues.constFind(key);
    return it != m_userValues.constEnd() ? *it : m_defaults.value(key);
}

void MemorySettings::setValue(const QString &key, const QVariant &value)
{
    m_userValues.insert(key, value);
}

void MemorySettings::removeValue(const QString &key)
{
    m_userValues.remove(key);
}
