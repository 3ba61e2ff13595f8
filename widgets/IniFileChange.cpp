#include "widgets/IniFileChange.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>

namespace {

QString ReadWhole(const QString& path, QByteArray& bytes)
{
    bytes.clear();
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    if (!info.isFile())
        return QStringLiteral("it is not a regular file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "it cannot be read (" + file.errorString() + ")";
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return "it cannot be read (" + file.errorString() + ")";
    return {};
}

// Lines that are neither blank nor a section's name (QSettings ends lines
// with CR LF on Windows).
qsizetype KeyLines(const QByteArray& ini)
{
    qsizetype n = 0;
    for (const QByteArray& line : ini.split('\n'))
        n += !line.isEmpty() && line != "\r" && !line.startsWith('[');
    return n;
}

} // namespace

QString replaceFileWhole(const QString& path, const QByteArray& bytes)
{
    // Unbuffered, so that every write is checked where it happens: Qt 6.4's
    // QSaveFile::commit() overlooks a failure of its buffered writes.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // Qt names only the symptom here ("... is not writable").
        const QStorageInfo storage(QFileInfo(path).absolutePath());
        return storage.isValid() && storage.isReadOnly() ? QStringLiteral("Read-only file system") : file.errorString();
    }
    // A short write carries no reason; the next attempt fails with one.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return reason;
        }
        done += n;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

IniFileChanged changeIniFile(const QString& path, const std::function<void(QSettings&)>& change)
{
    QByteArray bytes;
    if (QString reason = ReadWhole(path, bytes); !reason.isEmpty())
        return {reason};

    // QSettings writes a copy in a folder of our own; only a complete copy
    // goes in place of the file.
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return {"no temporary folder (" + scratch.errorString() + ")"};
    QString draft = scratch.filePath(QStringLiteral("draft.ini"));
    if (QString reason = replaceFileWhole(draft, bytes); !reason.isEmpty())
        return {"the temporary copy cannot be written (" + reason + ")"};
    IniFileChanged outcome;
    {
        // A name with an empty section part ("/" from a stray backslash
        // line) can be written as the same line as another entry, and the
        // copy would look cut short at every save: the entries that can be
        // kept go to a copy of their own. (A bare "=" line, an empty last
        // part, reads and writes back as itself.)
        const QSettings read(draft, QSettings::IniFormat);
        const QStringList keys = read.allKeys();
        const auto keepable = [](const QString& key) {
            QStringList parts = key.split('/');
            parts.removeLast();
            return !parts.contains(QString());
        };
        outcome.droppedEntries = static_cast<int>(std::count_if(keys.begin(), keys.end(), std::not_fn(keepable)));
        if (outcome.droppedEntries > 0) {
            draft = scratch.filePath(QStringLiteral("kept.ini"));
            QSettings kept(draft, QSettings::IniFormat);
            for (const QString& key : keys) {
                if (keepable(key))
                    kept.setValue(key, read.value(key));
            }
        }
    }
    qsizetype wanted = 0;
    {
        QSettings settings(draft, QSettings::IniFormat);
        change(settings);
        settings.sync();
        // A format problem met while reading (a byte-order mark, garbage
        // lines) is reported the same way, but is no write failure.
        if (settings.status() == QSettings::AccessError)
            return {QStringLiteral("the temporary copy cannot be written")};
        wanted = settings.allKeys().size();
    }
    // QSettings writes one line per key and ends with a line break; a copy
    // cut short lacks lines or that break. (Reading the copy back proves
    // less: QSettings does not give every odd key or value back as it read it.)
    if (!ReadWhole(draft, bytes).isEmpty())
        return {QStringLiteral("the temporary copy cannot be read back")};
    if (KeyLines(bytes) != wanted || (!bytes.isEmpty() && !bytes.endsWith('\n')))
        return {QStringLiteral("the temporary copy was cut short")};
    outcome.failure = replaceFileWhole(path, bytes);
    return outcome;
}
