// Remembers a window's placement between runs in the program's settings:
// restored when the window is shown, saved when it closes.
#pragma once

#include <QFlags>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "widgets/WindowStateError.h"

class QSettings;
class QWidget;
class SettingsStore;

// What of a window is stored besides its controls.
enum class PlacementOption : unsigned { State = 1, Position = 2, ActiveControl = 4 };
Q_DECLARE_FLAGS(PlacementOptions, PlacementOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(PlacementOptions)

class WindowPlacement : public QObject {
    Q_OBJECT
public:
    // owner is the window; the storage follows its show, close and hide.
    // The settings outlive the window.
    WindowPlacement(QWidget* owner, const SettingsStore& settings);
    ~WindowPlacement() override;

    // Inactive, it neither restores nor saves by itself.
    bool isActive() const { return active_; }
    void setActive(bool active) { active_ = active; }
    const QString& iniSection() const { return iniSection_; }
    void setIniSection(const QString& section) { iniSection_ = section; }
    PlacementOptions options() const { return options_; }
    void setOptions(PlacementOptions options) { options_ = options; }
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
    std::unique_ptr<QSettings> openStore(bool forWriting) const;
    void savePlacement(QSettings& store);
    void restorePlacement(QSettings& store);
    void report(const std::exception& e);
    void tell(const QString& message);

    QWidget* owner_;
    const SettingsStore& settings_;
    bool active_ = true;
    QString iniSection_;
    PlacementOptions options_ = PlacementOption::State | PlacementOption::Position;
    int version_ = 0;
    bool mainWindow_ = false;
    std::function<void(const QString& message)> errorHandler_;
    bool restored_ = false;
    bool saved_ = false;
    bool destroying_ = false;
};
