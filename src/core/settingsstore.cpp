#include "core/settingsstore.h"

#include "core/settingsfile.h"

#include <QCoreApplication>
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

bool SettingsStore::store(const QString& key, const QVariant* value)
{
    // A QSettings keeps the first error it meets for good, so each write gets
    // one of its own to learn its own outcome. Both share the file's contents:
    // a value that failed stays pending and is read back.
    QSettings writer(m_settings->fileName(), m_settings->format());
    if (value)
        writer.setValue(key, *value);
    writer.sync();
    switch (writer.status()) {
    case QSettings::NoError:
        m_lastError.clear();
        return true;
    case QSettings::AccessError:
        m_lastError = QCoreApplication::translate("SettingsStore", "无法写入设置文件 %1")
                          .arg(m_settings->fileName());
        break;
    case QSettings::FormatError:
        m_lastError = QCoreApplication::translate("SettingsStore", "设置文件 %1 格式有误")
                          .arg(m_settings->fileName());
        break;
    }
    if (m_onFailure)
        m_onFailure(m_lastError);
    return false;
}

bool SettingsStore::RegCreate()
{
    return store(QString(), nullptr);
}

bool SettingsStore::RegSave(const QString& valueName, const QString& value)
{
    const QVariant stored(value);
    return store(keyOf(valueName), &stored);
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
