#pragma once

#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

#include "widgets/StoredValue.h"

// Named values, unique regardless of letter case.
class StoredValues {
public:
    StoredValue& add(const QString& name);
    void rename(StoredValue& item, const QString& name);
    StoredValue* find(const QString& name);
    std::size_t count() const { return items_.size(); }
    StoredValue& operator[](std::size_t i) { return *items_.at(i); }

private:
    void checkUnique(const QString& name, const StoredValue* except) const;
    std::vector<std::unique_ptr<StoredValue>> items_;
};
