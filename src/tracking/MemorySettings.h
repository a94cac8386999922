#pragma once

#include "Settings.h"

#include <QVariantMap>

// Settings held in memory only: the registered defaults and the user's values.
class MemorySettings : public Settings
{
public:
    explicit MemorySettings(QVariantMap defaults = registeredDefaults());

    QVariant value(const QString &key) const override;
    QVariant defaultValue(const QString &key) const override { return m_defaults.value(key); }
    void setValue(const QString &key, const QVariant &value) override;
    void removeValue(const QString &key) override;

    const QVariantMap &userValues() const { return m_userValues; }

private:
    QVariantMap m_defaults;
    QVariantMap m_userValues;
};
