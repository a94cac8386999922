#pragma once

#include "persistence/PropertyList.h"
#include "persistence/SavedState.h"
#include "persistence/SettingsStore.h"
#include "platform/fake/FakeDesktop.h"
#include "platform/fake/FakeQuestionDialog.h"
#include "platform/fake/VirtualScheduler.h"
#include "shell/KestrumController.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <ostream>
#include <utility>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// One application as it is written into saved timings: its time and its windows' times.
struct SavedApp
{
    QString name;
    double seconds = 0.0;
    QList<std::pair<QString, double>> windows;
};

// The versioned wrapper of saved timings, as the settings and timing documents hold it.
inline QVariant timingsWrapper(const QList<SavedApp> &apps)
{
    QVariantList snapshot;
    for (const SavedApp &app : apps) {
        QVariantList windows;
        for (const auto &[name, seconds] : app.windows)
            windows.append(QVariantMap{{QStringLiteral("Name"), name}, {QStringLiteral("ActiveTime"), seconds}});
        snapshot.append(QVariantMap{
            {QStringLiteral("App"), QVariantMap{{QStringLiteral("Name"), app.name}, {QStringLiteral("ActiveTime"), app.seconds}}},
            {QStringLiteral("Windows"), windows},
        });
    }
    PropertyListDictionary wrapper;
    wrapper.insert(QStringLiteral("Version"), kTimingDocumentVersion);
    wrapper.insert(QStringLiteral("Apps"), snapshot);
    return QVariant::fromValue(wrapper);
}

// A controller as the application builds it, on a scripted desktop and virtual time, with its
// settings file and support directory in a temporary home. The editor is in front with
// "notes.txt" as its main window; the terminal waits behind it. Nothing counts until a test
// presses the button.
class ControllerFixture : public ::testing::Test
{
protected:
    static constexpr qint64 EditorPid = 101;
    static constexpr qint64 TerminalPid = 202;

    static QString editorName() { return QStringLiteral("Editor"); }
    static QString terminalName() { return QStringLiteral("Terminal"); }

    ControllerFixture()
    {
        // QStandardPaths reads these on every call, so the settings file and the support
        // directory land in the temporary home.
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral(".local/share"))));
        settings = std::make_unique<SettingsStore>();

        desktop.addApplication(EditorPid, editorName());
        desktop.setMainWindow(EditorPid, WindowElement(7), QStringLiteral("notes.txt (edited)"));
        desktop.addApplication(TerminalPid, terminalName());
        desktop.setMainWindow(TerminalPid, WindowElement(9), QStringLiteral("make test"));
        desktop.bringToFront(EditorPid);
    }

    void SetUp() override { ASSERT_TRUE(home.isValid()); }

    // Starts the application: reads the settings file, then builds the controller.
    KestrumController &createController()
    {
        settings->load();
        controller = std::make_unique<KestrumController>(
            ControllerPorts{scheduler, desktop, desktop, desktop, *settings, questions});
        return *controller;
    }

    // Writes settings into the settings file, as an earlier run would have left them.
    void writeSettings(const QList<std::pair<QString, QVariant>> &values)
    {
        SettingsStore earlierRun;
        earlierRun.load();
        for (const auto &[key, value] : values)
            earlierRun.setValue(key, value);
        ASSERT_TRUE(earlierRun.synchronize());
    }

    // Writes saved timings into the settings file, as an earlier run would have left them.
    void writeSavedTimings(const QList<SavedApp> &apps) { writeSettings({{SettingsKey::Apps, timingsWrapper(apps)}}); }

    // Writes a timing document.
    QString writeDocument(const QString &fileName, const QList<SavedApp> &apps)
    {
        const QString path = home.filePath(fileName);
        QByteArray xml;
        QString error;
        EXPECT_TRUE(PropertyList::serialize(timingsWrapper(apps), &xml, &error)) << error.toStdString();
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(xml);
        return path;
    }

    // The application times stored in the settings file, read the way the next start reads
    // them; empty when nothing is stored.
    static QMap<QString, double> savedAppTimes()
    {
        SettingsStore nextRun;
        nextRun.load();
        QMap<QString, double> times;
        const QVariant wrapper = nextRun.value(SettingsKey::Apps);
        if (!wrapper.canConvert<PropertyListDictionary>())
            return times;
        const QVariantList snapshot = wrapper.value<PropertyListDictionary>().value(QStringLiteral("Apps")).toList();
        for (const QVariant &entry : snapshot) {
            const QVariantMap app = entry.toMap().value(QStringLiteral("App")).toMap();
            times.insert(app.value(QStringLiteral("Name")).toString(), app.value(QStringLiteral("ActiveTime")).toDouble());
        }
        return times;
    }

    double appTime(const QString &name) const
    {
        const TimeStoreApp *app = controller->tracker().appForName(name);
        return app ? app->activeTime() : -1.0;
    }

    QStringList appNames() const
    {
        QStringList names;
        for (const auto &app : controller->tracker().fullTimeSet())
            names.append(app->name().value_or(QString()));
        return names;
    }

    QTemporaryDir home;
    VirtualScheduler scheduler;
    FakeDesktop desktop{scheduler};
    FakeQuestionDialog questions;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<KestrumController> controller; // declared last: it goes before what it uses
};
