// A phonebook of 100 rows with the given rows at their locations (1..100).
#pragma once

#include <initializer_list>
#include <utility>

#include "phonebook/PhonebookRows.h"

inline PhonebookRows Rows(std::initializer_list<std::pair<int, PhonebookRow>> placed)
{
    PhonebookRows rows = emptyPhonebookRows();
    for (const auto& [location, row] : placed)
        rows[static_cast<std::size_t>(location - 1)] = row;
    return rows;
}
