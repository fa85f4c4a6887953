#include "warninglist.h"

namespace karumenio::survey {

long long& WarningList::count(std::string_view kind) {
    for (auto& [known, count] : m_counts) {
        if (known == kind) {
            return count;
        }
    }
    return m_counts.emplace_back(kind, 0).second;
}

void WarningList::finish() {
    for (const auto& [kind, count] : m_counts) {
        if (count > kShownPerKind) {
            m_out.push_back("…ほか " + std::to_string(count - kShownPerKind) + " 件の「" +
                            std::string(kind) + "」は省略しました。");
        }
    }
    m_counts.clear();
}

} // namespace karumenio::survey
