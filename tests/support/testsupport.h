#pragma once

#include "core/clock.h"
#include "core/datafolder.h"
#include "core/settingsstore.h"
#include "faultywrites.h"
#include "scaledclock.h"
#include "scriptedprompts.h"
#include "testhttpserver.h"
#include "web/endpoints.h"
#include "web/webclient.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <qcoro/qcorotask.h>

namespace marbleway::test {

// Runs a coroutine to its end inside a local event loop (tests only).
template <typename T>
T await(QCoro::Task<T>&& task)
{
    return QCoro::waitFor(std::move(task));
}

// The texts of a list's column, top to bottom.
inline QStringList column(const QAbstractItemModel& model, int c = 0)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, c).data().toString();
    return texts;
}

// A file's bytes, or none when it cannot be read.
inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes `bytes` into `path` from `offset` on; the file is made when missing.
inline bool writeBytes(const QString& path, const QByteArray& bytes, qint64 offset = 0)
{
    QFile file(path);
    return file.open(offset > 0 ? QIODevice::ReadWrite : QIODevice::WriteOnly) &&
           file.seek(offset) && file.write(bytes) == bytes.size();
}

// A user's click on a row's check box.
inline void tick(QAbstractItemModel& model, int row, bool checked = true)
{
    model.setData(model.index(row, 0), checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

// Network access, a web client and endpoints that send every service to one
// test server.
struct WebFixture {
    explicit WebFixture(const TestHttpServer& server, const Clock& clock = Clock::system())
        : client(network, clock)
    {
        for (const Service service : Endpoints::AllServices)
            endpoints.setHost(service, server.hostAndPort());
    }

    QNetworkAccessManager network;
    WebClient client;
    Endpoints endpoints;
};

// What a job or the window is handed in a test: a scratch folder with its data
// folder and settings file, one server for every service, scripted prompts and
// writes that fail on request.
struct Fixture {
    explicit Fixture(const Clock& clock = Clock::system())
        : web(server, clock)
    {
        QDir(dir.path()).mkpath(QStringLiteral("data"));
    }

    QString dataFile(const QString& name) const
    {
        return dir.filePath(QStringLiteral("data/") + name);
    }
    DataFolder dataFolder() const
    {
        return DataFolder(dir.filePath(QStringLiteral("data")), writer);
    }
    QString settingsFile() const { return dir.filePath(QStringLiteral("settings.ini")); }
    std::unique_ptr<SettingsStore> newSettings() const
    {
        return std::make_unique<SettingsStore>(
            std::make_unique<QSettings>(settingsFile(), QSettings::IniFormat));
    }
    // An option as the settings file holds it.
    QString setting(const QString& name) const
    {
        return QSettings(settingsFile(), QSettings::IniFormat).value(OptionsKey + name).toString();
    }
    void storeSetting(const QString& name, const QString& value) const
    {
        QSettings(settingsFile(), QSettings::IniFormat).setValue(OptionsKey + name, value);
    }

    inline static const QString OptionsKey = QStringLiteral("Software/Marbleway/V1.0.0/Config/");
    QTemporaryDir dir;
    TestHttpServer server;
    WebFixture web;
    ScriptedPrompts prompts;
    std::shared_ptr<FaultyWriter> writer = std::make_shared<FaultyWriter>();
    std::unique_ptr<SettingsStore> settings = newSettings();
};

} // namespace marbleway::test
