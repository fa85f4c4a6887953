#include "workbook.h"

#include "ascii.h"
#include "runtimeerror.h"

namespace karumenio::spreadsheet {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ascii::toUpper(a[i]) != ascii::toUpper(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

Worksheet& Workbook::addSheet(std::string name) {
    m_sheets.push_back(std::make_unique<Worksheet>(std::move(name)));
    return *m_sheets.back();
}

Worksheet* Workbook::findSheet(std::string_view name) {
    for (auto& sheet : m_sheets) {
        if (sameName(sheet->name(), name)) {
            return sheet.get();
        }
    }
    return nullptr;
}

const Worksheet* Workbook::findSheet(std::string_view name) const {
    return const_cast<Workbook*>(this)->findSheet(name);
}

Worksheet& Workbook::worksheets(std::string_view name) {
    if (Worksheet* sheet = findSheet(name)) {
        return *sheet;
    }
    throw RunTimeError(RunError::SubscriptOutOfRange,
                       "インデックスが有効範囲にありません: ワークシート「" + std::string(name) +
                           "」がブックにありません。");
}

} // namespace karumenio::spreadsheet
