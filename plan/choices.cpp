#include "drawingscale.h"
#include "edition.h"
#include "papersize.h"

namespace karumenio::plan {

namespace {

template <typename Table, typename Key>
auto findIn(const Table& table, std::string_view wanted, Key key) -> decltype(&table[0]) {
    for (const auto& entry : table) {
        if (entry.*key == wanted) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

const PaperSize* findPaper(std::string_view token) {
    return findIn(kPaperSizes, token, &PaperSize::token);
}

const DrawingScale* findScale(std::string_view token) {
    return findIn(kDrawingScales, token, &DrawingScale::token);
}

const Edition* findEdition(std::string_view code) {
    return findIn(kEditions, code, &Edition::code);
}

} // namespace karumenio::plan
