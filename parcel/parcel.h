#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::parcel {

// A corner of a parcel: its row among the plan's points and its coordinates rounded to the
// millimetre.
struct Vertex {
    int slot = 0;
    std::int64_t x = 0;
    std::int64_t y = 0;
    friend bool operator==(const Vertex&, const Vertex&) = default;
};

// A closed section of the plan: the rows from one break mark to the next whose last point
// lies on its first once both are rounded to the millimetre.
struct Parcel {
    // The break mark of its first row.
    std::string name;
    int firstSlot = 0;
    // The corners in order, each once: the closing point and a point repeated straight after
    // itself are left out.
    std::vector<Vertex> vertices;
};

struct ParcelSearch {
    std::vector<Parcel> parcels;
    // Japanese: closed sections that could not be taken as parcels, and why.
    std::vector<std::string> warnings;
};

// The parcels of a plan, in the order of their rows: every section (slot 0 always starts one,
// every break mark after it another) that closes on its first point and has at least three
// distinct corners. Open sections are no parcels and are passed over without a word.
ParcelSearch findParcels(const plan::Plan& plan);

} // namespace karumenio::parcel
