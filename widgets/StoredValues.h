#pragma once

#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

#include "widgets/StoredValue.h"

// Named values, unique regardless of letter case.
class StoredValues {
public:
    StoredValue& Add(const QString& name);
    void Rename(StoredValue& item, const QString& name);
    StoredValue* Find(const QString& name);
    std::size_t Count() const { return items_.size(); }
    StoredValue& operator[](std::size_t i) { return *items_.at(i); }

private:
    void CheckUnique(const QString& name, const StoredValue* except) const;
    std::vector<std::unique_ptr<StoredValue>> items_;
};
