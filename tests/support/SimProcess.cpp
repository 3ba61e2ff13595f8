#include "support/SimProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <stdexcept>

SimProcess::SimProcess(std::vector<std::string> args, std::string statePath)
{
#ifndef M2BUS_SIM_PATH
    (void)args;
    (void)statePath;
    throw std::runtime_error("m2bus-sim is not built on this platform");
#else
    tempDir_ = std::make_unique<QTemporaryDir>();
    if (!tempDir_->isValid())
        throw std::runtime_error("Cannot create a temporary folder for the simulator");
    if (statePath.empty())
        statePath = tempDir_->filePath("state.txt").toStdString();
    statePath_ = statePath;
    // To a file, not a pipe: nobody drains a pipe while a test blocks, and a
    // full one would stall the simulator's log.
    process_.setStandardErrorFile(tempDir_->filePath("stderr.txt"));
    QStringList arguments{"--state", QString::fromStdString(statePath_)};
    for (const std::string& arg : args)
        arguments << QString::fromStdString(arg);
    process_.start(QStringLiteral(M2BUS_SIM_PATH), arguments);
    if (!process_.waitForStarted(5000))
        throw std::runtime_error("Cannot start m2bus-sim: " + process_.errorString().toStdString());
    QElapsedTimer waited;
    waited.start();
    while (!process_.canReadLine()) {
        if (process_.state() == QProcess::NotRunning || waited.elapsed() > 5000) {
            const std::string why = ErrorOutput();
            Stop();
            throw std::runtime_error("m2bus-sim printed no device path: " + why);
        }
        process_.waitForReadyRead(100);
    }
    devicePath_ = process_.readLine().trimmed().toStdString();
#endif
}

SimProcess::~SimProcess()
{
    Stop();
}

int SimProcess::Stop()
{
    if (stopped_)
        return exitCode_;
    stopped_ = true;
    if (process_.state() == QProcess::NotRunning) {
        exitCode_ = process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
        return exitCode_;
    }
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(2000);
        exitCode_ = -1;
        return exitCode_;
    }
    exitCode_ = process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    return exitCode_;
}

std::string SimProcess::ErrorOutput()
{
    if (!tempDir_)
        return {};
    QFile log(tempDir_->filePath("stderr.txt"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return log.readAll().toStdString();
}

std::optional<std::uint64_t> SimProcess::Collisions() {
    Stop();
    QFile file(QString::fromStdString(statePath_));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("collisions ")) return line.mid(11).trimmed().toULongLong();
    }
    return std::nullopt;
}
