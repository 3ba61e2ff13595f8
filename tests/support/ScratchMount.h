// A small file system of the test's own for save tests: a tmpfs that can be
// filled to its last byte (a full disk) or remounted read-only. Mounting
// needs the right to do so (root in CI); without it Available() is false and
// Reason() says why, so the test can skip cleanly.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <cstddef>

class ScratchMount {
public:
    explicit ScratchMount(std::size_t sizeBytes = 256 * 1024);
    ~ScratchMount();
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool Available() const { return mounted_; }
    QString Reason() const { return reason_; }
    QString Path() const { return dir_.path(); }
    QString FilePath(const QString& name) const { return dir_.filePath(name); }

    // Writes a filler file until the file system has no byte left.
    void FillUp();
    // Remounts read-only; files already there stay readable.
    void MakeReadOnly();

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString reason_;
};

#define SKIP_WITHOUT_SCRATCH_MOUNT(mount)                                                                              \
    if (!(mount).Available())                                                                                          \
    GTEST_SKIP() << "cannot mount a scratch file system: " << (mount).Reason().toStdString()
