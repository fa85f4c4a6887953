#include "scriptset.h"

namespace karumenio::scripts {

const std::string& ScriptSet::bytes(std::size_t index) const {
    switch (index) {
    case 0:
        return zahyou;
    case 1:
        return line;
    case 2:
        return plot;
    default:
        return text;
    }
}

} // namespace karumenio::scripts
