#include "core/settingsstore.h"

#include "core/settingsfile.h"

#include <QSettings>

namespace marbleway {

using namespace Qt::StringLiterals;

SettingsStore::SettingsStore()
    : SettingsStore(openUserSettings())
{}

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings)
    : m_settings(std::move(settings))
{}

SettingsStore::~SettingsStore() = default;

const QString& SettingsStore::SettingsKey()
{
    static const QString key = u"Software\\Marbleway\\V1.0.0\\Config"_s;
    return key;
}

QString SettingsStore::keyOf(const QString& valueName) const
{
    return optionsGroup() + u'/' + valueName;
}

void SettingsStore::RegCreate()
{
    m_settings->sync();
}

void SettingsStore::RegSave(const QString& valueName, const QString& value)
{
    m_settings->setValue(keyOf(valueName), value);
    m_settings->sync();
}

QString SettingsStore::RegRead(const QString& valueName) const
{
    const QVariant value = m_settings->value(keyOf(valueName));
    if (value.canConvert<QString>())
        return value.toString();
    return {};
}

bool SettingsStore::contains(const QString& valueName) const
{
    return m_settings->contains(keyOf(valueName));
}

QString SettingsStore::readOrCreate(const QString& valueName, const QString& fallback)
{
    const QString value = RegRead(valueName);
    if (!value.isEmpty())
        return value;
    RegCreate();
    RegSave(valueName, fallback);
    return fallback;
}

} // namespace marbleway
