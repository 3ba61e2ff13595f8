// Remembers a window's placement between runs: restored when the window is
// shown, saved when it closes. The store is the registry key
// "Software\<program>" on Windows and the same tree in an INI file in the
// user's configuration folder elsewhere.
#pragma once

#include <QFlags>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

#include "widgets/WindowStateError.h"

class QSettings;
class QWidget;

// What of a window is stored besides its controls.
enum class PlacementOption : unsigned { State = 1, Position = 2, ActiveControl = 4 };
Q_DECLARE_FLAGS(PlacementOptions, PlacementOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(PlacementOptions)

class WindowPlacement : public QObject {
    Q_OBJECT
public:
    // owner is the window; the storage follows its show, close and hide.
    explicit WindowPlacement(QWidget* owner);
    ~WindowPlacement() override;

    // Inactive, it neither restores nor saves by itself.
    bool isActive() const { return active_; }
    void setActive(bool active) { active_ = active; }
    // The store's file (or registry key) name; empty is the program's own.
    const QString& iniFileName() const { return iniFileName_; }
    void setIniFileName(const QString& name) { iniFileName_ = name; }
    const QString& iniSection() const { return iniSection_; }
    void setIniSection(const QString& section) { iniSection_ = section; }
    PlacementOptions options() const { return options_; }
    void setOptions(PlacementOptions options) { options_ = options; }
    // The registry on Windows (and its INI stand-in elsewhere) instead of an INI file.
    bool usesRegistry() const { return useRegistry_; }
    void setUseRegistry(bool use) { useRegistry_ = use; }
    // A stored placement of an older version is not restored.
    int version() const { return version_; }
    void setVersion(int version) { version_ = version; }
    // The program's main window: minimised there means a posted minimise
    // after showing it normally.
    bool isMainWindow() const { return mainWindow_; }
    void setMainWindow(bool main) { mainWindow_ = main; }

    // Errors met while showing or closing the window, and notes on damaged
    // settings dropped on saving; without a handler they go to the user as a
    // notice. They never stop the window's own handling.
    void setErrorHandler(std::function<void(const QString& message)> handler) { errorHandler_ = std::move(handler); }

    void saveState();
    void restoreState();
    // The owner calls this at the start of its destructor: saves once more
    // (marked as destroyed) unless saved since the last restore.
    void ownerDestroying();

    QWidget* owner() const { return owner_; }
    // The section of the store for this window: iniSection(), else the
    // window's class name.
    QString sectionName() const;
    // Program base name: the store key's last part.
    static QString programBaseName();
    // Tests and tools point every storage at one INI file; empty restores the
    // platform store.
    static void setStoreOverride(const QString& iniPath);
    // The program's own settings tree ("Software\<program>" or its INI
    // stand-in), where other settings of the program live beside the windows'.
    static std::unique_ptr<QSettings> programStore();
    // An INI store that is not a regular file (a named pipe would block the
    // program for good) is never opened: the program runs on default
    // settings kept only until it ends. The file last refused and why, or
    // nothing once the last store opened was sound.
    struct RefusedStore {
        QString path;
        QString reason;
    };
    static const std::optional<RefusedStore>& lastRefusedStore();

signals:
    // The placement was written to the store.
    void placementSaved();
    // The placement was read back and applied, before the active control is.
    void placementRestored();

protected:
    bool eventFilter(QObject* watched, class QEvent* event) override;
    virtual void saveContents(QSettings&, const QString&) { }
    virtual void restoreContents(QSettings&, const QString&) { }

private:
    static std::unique_ptr<QSettings> registryStore(const QString& key);
    std::unique_ptr<QSettings> openStore(bool forWriting) const;
    void savePlacement(QSettings& store, const QString& section);
    void restorePlacement(QSettings& store, const QString& section);
    void report(const std::exception& e);
    void tell(const QString& message);

    QWidget* owner_;
    bool active_ = true;
    QString iniFileName_;
    QString iniSection_;
    PlacementOptions options_ = PlacementOption::State | PlacementOption::Position;
    bool useRegistry_ = false;
    int version_ = 0;
    bool mainWindow_ = false;
    std::function<void(const QString& message)> errorHandler_;
    bool restored_ = false;
    bool saved_ = false;
    bool destroying_ = false;
};
