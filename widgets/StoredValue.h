#pragma once

#include <QString>

#include <functional>

// One named free value of a storage.
struct StoredValue {
    QString name() const { return name_; }
    QString value;
    // Scrambles the stored text; empty stores it as it is.
    QString scrambleKey;
    // Changes the text about to be written, not the value itself.
    std::function<void(QString& text)> beforeSave;
    // Changes the text read back before it becomes the value.
    std::function<void(QString& text)> afterRestore;

private:
    friend class StoredValues;
    QString name_;
};
