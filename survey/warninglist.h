#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace karumenio::survey {

// Warnings of a file read, a few of each kind: a file of millions of bad references gives
// the first few and how many more there were, not millions of lines.
class WarningList {
  public:
    static constexpr long long kShownPerKind = 5;

    explicit WarningList(std::vector<std::string>& out) : m_out(out) {}

    // Adds the warning unless kShownPerKind of its kind were added already. The kind is
    // what the closing line calls the ones left out; the message is made only when shown.
    template <typename MakeMessage> void add(std::string_view kind, MakeMessage&& message) {
        if (++count(kind) <= kShownPerKind) {
            m_out.push_back(message());
        }
    }

    // After the last warning: one line per kind that had more than were shown.
    void finish();

  private:
    long long& count(std::string_view kind);

    std::vector<std::string>& m_out;
    std::vector<std::pair<std::string_view, long long>> m_counts;
};

} // namespace karumenio::survey
