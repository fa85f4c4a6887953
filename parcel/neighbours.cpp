#include "neighbours.h"

#include "plan/plan.h"
#include "spreadsheet/cellvalue.h"
#include "spreadsheet/messagetext.h"

#include <algorithm>
#include <array>
#include <map>

namespace karumenio::parcel {

namespace {

constexpr std::array<std::string_view, 2> kLotSeparators{":", "\uFF1A"};
constexpr std::array<std::string_view, 3> kStretchSeparators{"-", "\u301C", "\uFF5E"};

struct Split {
    std::string from;
    std::string to;
};

// Every way the stretch falls into two names at one of its separators.
std::vector<Split> splitsOf(std::string_view stretch) {
    std::vector<Split> splits;
    for (std::size_t pos = 0; pos < stretch.size(); ++pos) {
        for (const std::string_view separator : kStretchSeparators) {
            if (stretch.substr(pos).starts_with(separator)) {
                Split split{spreadsheet::trimWideBlanks(stretch.substr(0, pos)),
                            spreadsheet::trimWideBlanks(stretch.substr(pos + separator.size()))};
                if (!split.from.empty() && !split.to.empty()) {
                    splits.push_back(std::move(split));
                }
            }
        }
    }
    return splits;
}

using Position = std::pair<std::int64_t, std::int64_t>;

Position positionOf(const Vertex& v) {
    return {v.x, v.y};
}

// The side from corner i to the next, the same whichever way round it is walked.
std::pair<Position, Position> sideKey(const std::vector<Vertex>& v, std::size_t i) {
    const Position a = positionOf(v[i]);
    const Position b = positionOf(v[(i + 1) % v.size()]);
    return a < b ? std::pair{a, b} : std::pair{b, a};
}

} // namespace

std::optional<Neighbour> parseNeighbour(std::string_view text) {
    std::size_t colon = std::string_view::npos;
    std::size_t width = 0;
    for (const std::string_view separator : kLotSeparators) {
        const std::size_t at = text.find(separator);
        if (at < colon) {
            colon = at;
            width = separator.size();
        }
    }
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    Neighbour neighbour{spreadsheet::trimWideBlanks(text.substr(0, colon)),
                        spreadsheet::trimWideBlanks(text.substr(colon + width))};
    if (neighbour.lot.empty() || splitsOf(neighbour.stretch).empty()) {
        return std::nullopt;
    }
    return neighbour;
}

std::string neighbourText(const Neighbour& neighbour) {
    return neighbour.lot + ":" + neighbour.stretch;
}

NeighbourSearch findNeighbours(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                               const std::vector<Neighbour>& neighbours) {
    NeighbourSearch search;
    std::vector<std::vector<std::string>> names(parcels.size());
    for (std::size_t p = 0; p < parcels.size(); ++p) {
        search.lots.emplace_back(parcels[p].vertices.size());
        for (const Vertex& v : parcels[p].vertices) {
            names[p].push_back(
                spreadsheet::trimWideBlanks(plan.points[static_cast<std::size_t>(v.slot)].name));
        }
    }
    auto indexOf = [&](std::size_t p, const std::string& name) -> std::optional<std::size_t> {
        const auto found = std::find(names[p].begin(), names[p].end(), name);
        if (found == names[p].end()) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(found - names[p].begin());
    };
    for (const Neighbour& neighbour : neighbours) {
        bool found = false;
        for (const Split& split : splitsOf(neighbour.stretch)) {
            for (std::size_t p = 0; p < parcels.size(); ++p) {
                const std::optional<std::size_t> from = indexOf(p, split.from);
                const std::optional<std::size_t> to = indexOf(p, split.to);
                if (!from || !to || *from == *to) {
                    continue;
                }
                const std::size_t n = names[p].size();
                NeighbourStretch stretch{neighbour.lot, p, *from, (*to + n - *from) % n};
                // Two neighbouring corners are the side between them, whichever comes first.
                if ((*from + n - *to) % n == 1) {
                    stretch.firstSide = *to;
                    stretch.sideCount = 1;
                }
                for (std::size_t i = 0; i < stretch.sideCount; ++i) {
                    search.lots[p][(stretch.firstSide + i) % n].push_back(neighbour.lot);
                }
                search.stretches.push_back(std::move(stretch));
                found = true;
            }
            if (found) {
                break;
            }
        }
        if (!found) {
            search.warnings.push_back("隣接地「" + spreadsheet::quotedInMessage(neighbour.lot) +
                                      "」の「" + spreadsheet::quotedInMessage(neighbour.stretch) +
                                      "」は、どの区画にも二つの頂点として見つからないため、"
                                      "図面に書いていません。点名を確かめて下さい。");
        }
    }
    // A side two parcels of the job share has each of them as its neighbour.
    std::map<std::pair<Position, Position>, std::vector<std::size_t>> sharing;
    for (std::size_t p = 0; p < parcels.size(); ++p) {
        const std::vector<Vertex>& v = parcels[p].vertices;
        for (std::size_t i = 0; i < v.size(); ++i) {
            std::vector<std::size_t>& holders = sharing[sideKey(v, i)];
            if (std::find(holders.begin(), holders.end(), p) == holders.end()) {
                holders.push_back(p);
            }
        }
    }
    for (std::size_t p = 0; p < parcels.size(); ++p) {
        const std::vector<Vertex>& v = parcels[p].vertices;
        for (std::size_t i = 0; i < v.size(); ++i) {
            for (const std::size_t other : sharing[sideKey(v, i)]) {
                if (other != p) {
                    search.lots[p][i].push_back(parcels[other].name);
                }
            }
        }
    }
    return search;
}

} // namespace karumenio::parcel
