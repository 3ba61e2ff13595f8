#include "widgets/StoredValues.h"

#include "widgets/WindowStateError.h"

void StoredValues::checkUnique(const QString& name, const StoredValue* except) const
{
    for (const auto& item : items_) {
        if (item.get() != except && item->name_.compare(name, Qt::CaseInsensitive) == 0)
            throw WindowStateError("String list does not allow duplicates");
    }
}

StoredValue& StoredValues::add(const QString& name)
{
    checkUnique(name, nullptr);
    items_.push_back(std::make_unique<StoredValue>());
    items_.back()->name_ = name;
    return *items_.back();
}

void StoredValues::rename(StoredValue& item, const QString& name)
{
    checkUnique(name, &item);
    item.name_ = name;
}

StoredValue* StoredValues::find(const QString& name)
{
    for (auto& item : items_) {
        if (item->name_.compare(name, Qt::CaseInsensitive) == 0)
            return item.get();
    }
    return nullptr;
}
