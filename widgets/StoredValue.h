#pragma once

#include <QString>

#include <functional>

// One named free value of a storage.
struct StoredValue {
    QString Name() const { return name_; }
    QString Value;
    QString KeyString;
    std::function<void(StoredValue&)> OnSave;
    std::function<void(StoredValue&)> OnRestore;

private:
    friend class StoredValues;
    QString name_;
};
