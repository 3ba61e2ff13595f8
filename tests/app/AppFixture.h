// The whole program in one test: the simulator on a real pseudo-terminal as
// the handset on COM1, the main window as at start-up (it makes the others
// when they are first needed), settings in a temporary store and every
// question answered by script.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sms/OperatorsFileLocation.h"
#include "files/SettingsStore.h"
#include "app/MainWindow.h"
#include "support/ScriptedPrompts.h"
#include "support/SimProcess.h"

class AppUnderTest {
public:
    // simArgs go to m2bus-sim (e.g. {"--pace", "--turnaround", "20"}).
    explicit AppUnderTest(std::vector<std::string> simArgs = {}, const QString& storedPort = QString())
        : sim(std::move(simArgs))
    {
        const QString store = dir.filePath("settings.ini");
        {
            QSettings settings(store, QSettings::IniFormat);
            for (int n = 1; n <= 4; ++n)
                settings.setValue(QString("Ports/COM%1").arg(n), QString::fromStdString(sim.DevicePath()));
            if (!storedPort.isEmpty())
                settings.setValue("TFMain/cboxCOM_Text", storedPort);
        }
        settings_.emplace(SettingsStore::inFile(store));
        // Profiles beside a program folder of this test's own: tests that
        // run side by side never share (or break) one Operators.ini.
        QDir(dir.path()).mkdir("program");
        setProgramFolderOverride(ProgramFolder());
        main_ = std::make_unique<MainWindow>(*settings_);
    }
    ~AppUnderTest()
    {
        main_.reset();
        setProgramFolderOverride(QString());
    }
    // Where the program's own Operators.ini lies for this test.
    QString ProgramFolder() const { return dir.filePath("program"); }
    AppUnderTest(const AppUnderTest&) = delete;
    AppUnderTest& operator=(const AppUnderTest&) = delete;

    QString StorePath() const { return dir.filePath("settings.ini"); }
    // Lets the running transfer, if any, come to its end (and any job its
    // end starts); false after 60 s. Woken by the worker's signal rather
    // than by polling, so timings taken around it carry no polling step.
    bool WaitUntilIdle() const
    {
        QDeadlineTimer deadline(60000);
        while (main_->worker().isBusy() && !deadline.hasExpired()) {
            QEventLoop loop;
            QObject::connect(&main_->worker(), &LinkWorker::busyChanged, &loop, [&loop](bool busy) {
                if (!busy)
                    loop.quit();
            });
            QTimer::singleShot(std::max<qint64>(deadline.remainingTime(), 0), &loop, &QEventLoop::quit);
            loop.exec();
        }
        return !main_->worker().isBusy();
    }
    // Clicks a button and lets what it started run to its end; false when it did not end.
    bool Click(QAbstractButton* button) const
    {
        button->click();
        return WaitUntilIdle();
    }
    // Runs work on the link's thread as a window's job does, and waits for
    // it; false when it could not start or did not end.
    bool RunOnLink(LinkWorker::Work work) const
    {
        return main_->worker().start(main_.get(), JobData::None, std::move(work)) != nullptr && WaitUntilIdle();
    }
    MainWindow& Main() const { return *main_; }
    const SettingsStore& Settings() const { return *settings_; }
    // Closes the program's windows and starts them again on the same settings.
    void Restart()
    {
        main_->close();
        main_.reset();
        main_ = std::make_unique<MainWindow>(*settings_);
        main_->show();
        QApplication::processEvents();
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    SimProcess sim;

private:
    std::optional<SettingsStore> settings_;
    std::unique_ptr<MainWindow> main_;
};
