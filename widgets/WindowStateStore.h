// Remembers a window's placement and chosen control values between runs:
// the placement as WindowPlacement keeps it, plus control properties and
// free named values in the window's section.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <vector>

#include "widgets/StoredValues.h"
#include "widgets/WindowPlacement.h"

class WindowStateStore : public WindowPlacement {
    Q_OBJECT
public:
    WindowStateStore(QWidget* owner, const SettingsStore& settings);

    // Lines "Component.Property"; kept only while the component exists on
    // the window. Set them once the window's controls are built.
    void setStoredProps(const QStringList& lines);
    // One property stored under a fixed name, whatever the control is called:
    // the stored name is part of the settings format.
    void addStoredProp(const QString& storedName, QObject* object, const QString& property);
    QStringList storedProps() const;
    StoredValues& storedValues() { return storedValues_; }

    // Scrambling of stored values: XOR with the repeating key, as lower-case
    // hex pairs; an empty key leaves the text as it is.
    static QString scramble(const QString& text, const QString& key);
    static QString unscramble(const QString& text, const QString& key);

protected:
    void saveContents(QSettings& store, const QString& section) override;
    void restoreContents(QSettings& store, const QString& section) override;

private:
    struct StoredProp {
        QString component;
        QString property;
        QPointer<QObject> object;
    };
    std::vector<StoredProp> liveProps() const;

    std::vector<StoredProp> props_;
    StoredValues storedValues_;
};
