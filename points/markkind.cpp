#include "markkind.h"

#include "choicetext.h"

namespace karumenio::points {

const MarkKind* findMarkKind(std::string_view text) {
    return findByText(kMarkKinds, text);
}

std::string markKindList() {
    return joinedTexts(kMarkKinds);
}

} // namespace karumenio::points
