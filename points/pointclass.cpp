#include "pointclass.h"

#include "choicetext.h"

namespace karumenio::points {

const PointClass& pointClass(PointClassId id) {
    for (const PointClass& entry : kPointClasses) {
        if (entry.id == id) {
            return entry;
        }
    }
    return kPointClasses.front();
}

const PointClass* findPointClass(std::string_view text) {
    if (spreadsheet::trimWideBlanks(text).empty()) {
        return &kPointClasses.front();
    }
    return findByText(kPointClasses, text);
}

std::string pointClassList() {
    return joinedTexts(kPointClasses);
}

} // namespace karumenio::points
