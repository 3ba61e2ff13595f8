// Remembers a window's placement between runs: restored when the window is
// shown, saved when it closes. The store is the registry key
// "Software\<program>" on Windows and the same tree in an INI file in the
// user's configuration folder elsewhere.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

#include "widgets/WindowStateError.h"

class QSettings;
class QWidget;

enum PlacementOption : unsigned { fpState = 1, fpPosition = 2, fpActiveControl = 4 };

class WindowPlacement : public QObject {
    Q_OBJECT
public:
    // owner is the window; the storage follows its show, close and hide.
    explicit WindowPlacement(QWidget* owner);
    ~WindowPlacement() override;

    bool Active = true;
    QString IniFileName;
    QString IniSection;
    unsigned Options = fpState | fpPosition;
    bool UseRegistry = false;
    int Version = 0;
    // The program's main window: minimised there means a posted minimise
    // after showing it normally.
    bool MainForm = false;

    std::function<void(WindowPlacement*)> OnSavePlacement;
    std::function<void(WindowPlacement*)> OnRestorePlacement;
    // Errors met while showing or closing the window, and notes on damaged
    // settings dropped on saving; without a handler they go to the user as a
    // notice. They never stop the window's own handling.
    std::function<void(const QString& message)> OnError;

    void SaveState();
    void RestoreState();
    // The owner calls this at the start of its destructor: saves once more
    // (marked as destroyed) unless saved since the last restore.
    void FormDestroying();

    QWidget* Owner() const { return owner_; }
    // The section of the store for this window: IniSection, else the
    // window's class name.
    QString SectionName() const;
    // Program base name: the store key's last part.
    static QString ProgramBaseName();
    // Tests and tools point every storage at one INI file; empty restores the
    // platform store.
    static void SetStoreOverride(const QString& iniPath);
    // The program's own settings tree ("Software\<program>" or its INI
    // stand-in), where other settings of the program live beside the windows'.
    static std::unique_ptr<QSettings> ProgramStore();
    // An INI store that is not a regular file (a named pipe would block the
    // program for good) is never opened: the program runs on default
    // settings kept only until it ends. The file last refused and why, or
    // nothing once the last store opened was sound.
    struct RefusedStore {
        QString path;
        QString reason;
    };
    static const std::optional<RefusedStore>& LastRefusedStore();

protected:
    bool eventFilter(QObject* watched, class QEvent* event) override;
    virtual void SaveContents(QSettings&, const QString&) { }
    virtual void RestoreContents(QSettings&, const QString&) { }

private:
    static std::unique_ptr<QSettings> RegistryStore(const QString& key);
    std::unique_ptr<QSettings> OpenStore(bool forWriting) const;
    void SavePlacement(QSettings& store, const QString& section);
    void RestorePlacement(QSettings& store, const QString& section);
    void Report(const std::exception& e);
    void Tell(const QString& message);

    QWidget* owner_;
    bool restored_ = false;
    bool saved_ = false;
    bool destroying_ = false;
};
