#pragma once

#include <QString>

#include <functional>
#include <memory>

class QSettings;
class QVariant;

namespace marbleway {

// The program's named options: text values under one per-user key,
// "Software\Marbleway\V1.0.0\Config" (on Windows in the registry; elsewhere the
// same path inside the user's settings file). A missing value reads as empty and
// each reader supplies its own default. Every write reaches the disk at once, or
// says that it did not.
class SettingsStore {
public:
    // The user's settings.
    SettingsStore();
    // Settings kept elsewhere (tests hand in a file of their own).
    explicit SettingsStore(std::unique_ptr<QSettings> settings);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Makes sure the key exists. Values are created with it on their first write.
    bool RegCreate();
    // False when the value could not be stored (lastError() says why); it is
    // still read back in this run and goes with the next write that succeeds.
    bool RegSave(const QString& valueName, const QString& value);
    QString RegRead(const QString& valueName) const;
    // Whether the value exists at all (an empty value exists).
    bool contains(const QString& valueName) const;

    // The readers' rule: the stored value, or, when it is empty, `fallback`
    // written and returned.
    QString readOrCreate(const QString& valueName, const QString& fallback);

    // The whole settings file, for groups other than the options ("Hosts").
    QSettings& settings() { return *m_settings; }

    // Why the last failed write failed; empty after a write that succeeded.
    const QString& lastError() const { return m_lastError; }
    // Told of every failed write, with its reason: where the user looks.
    void setFailureHandler(std::function<void(const QString&)> handler)
    {
        m_onFailure = std::move(handler);
    }

    static const QString& SettingsKey();

private:
    QString keyOf(const QString& valueName) const;
    bool store(const QString& key, const QVariant* value);

    std::unique_ptr<QSettings> m_settings;
    QString m_lastError;
    std::function<void(const QString&)> m_onFailure;
};

} // namespace marbleway
