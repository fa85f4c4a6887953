#pragma once

#include "spreadsheet/cellvalue.h"

#include <string>
#include <string_view>

namespace karumenio::points {

// The entry of a table of choices whose text a cell holds, blanks around it (full-width ones
// too) left out; nullptr when none has it.
template <typename Table>
const typename Table::value_type* findByText(const Table& table, std::string_view text) {
    const std::string key = spreadsheet::trimWideBlanks(text);
    for (const auto& entry : table) {
        if (entry.text == key) {
            return &entry;
        }
    }
    return nullptr;
}

// The texts of a table of choices joined with "・", for messages and notes.
template <typename Table> std::string joinedTexts(const Table& table) {
    std::string list;
    for (const auto& entry : table) {
        list += (list.empty() ? "" : "・") + std::string(entry.text);
    }
    return list;
}

} // namespace karumenio::points
