#include "planesystem.h"

#include <array>

namespace karumenio::geodesy {

namespace {

constexpr int degrees(int d, int m = 0) {
    return d * 60 + m;
}

constexpr double kScale = 0.9999;

// Origins as the definition of the systems gives them. Each box is the land the system
// serves, widened by about 20 km and rounded out to a tenth of a degree.
constexpr auto kSystems = std::to_array<PlaneSystem>({
    {1, "I", 6669, degrees(33), degrees(129, 30), kScale, {26.7, 35.0, 127.9, 130.7}},
    {2, "II", 6670, degrees(33), degrees(131), kScale, {29.9, 34.2, 129.5, 132.3}},
    {3, "III", 6671, degrees(36), degrees(132, 10), kScale, {33.5, 36.6, 130.6, 133.7}},
    {4, "IV", 6672, degrees(33), degrees(133, 30), kScale, {32.4, 34.7, 131.7, 135.1}},
    {5, "V", 6673, degrees(36), degrees(134, 20), kScale, {33.9, 36.0, 132.9, 135.7}},
    {6, "VI", 6674, degrees(36), degrees(136), kScale, {33.2, 36.6, 134.6, 137.2}},
    {7, "VII", 6675, degrees(36), degrees(137, 10), kScale, {34.3, 37.8, 136.0, 138.1}},
    {8, "VIII", 6676, degrees(36), degrees(138, 30), kScale, {34.3, 38.8, 137.1, 140.2}},
    {9, "IX", 6677, degrees(36), degrees(139, 50), kScale, {29.1, 38.2, 138.2, 141.4}},
    {10, "X", 6678, degrees(40), degrees(140, 50), kScale, {37.5, 41.8, 139.2, 142.4}},
    {11, "XI", 6679, degrees(44), degrees(140, 15), kScale, {41.1, 43.7, 139.1, 141.7}},
    {12, "XII", 6680, degrees(44), degrees(142, 15), kScale, {41.9, 45.8, 140.6, 143.9}},
    {13, "XIII", 6681, degrees(44), degrees(144, 15), kScale, {41.6, 44.6, 142.4, 146.1}},
    {14, "XIV", 6682, degrees(26), degrees(142), kScale, {24.4, 28.0, 141.0, 142.6}},
    {15, "XV", 6683, degrees(26), degrees(127, 30), kScale, {25.8, 27.2, 126.4, 128.6}},
    {16, "XVI", 6684, degrees(26), degrees(124), kScale, {23.7, 25.2, 122.6, 125.8}},
    {17, "XVII", 6685, degrees(26), degrees(131), kScale, {24.2, 26.3, 130.9, 131.6}},
    {18, "XVIII", 6686, degrees(20), degrees(136), kScale, {20.1, 20.7, 135.8, 136.4}},
    {19, "XIX", 6687, degrees(26), degrees(154), kScale, {24.0, 24.6, 153.7, 154.3}},
});

} // namespace

std::span<const PlaneSystem> planeSystems() {
    return kSystems;
}

const PlaneSystem* planeSystem(int number) {
    if (number < 1 || number > static_cast<int>(kSystems.size())) {
        return nullptr;
    }
    return &kSystems[static_cast<std::size_t>(number - 1)];
}

std::string systemLabel(const PlaneSystem& system) {
    return std::string("第") + system.roman + "系";
}

std::string systemLabelRange(std::string_view separator) {
    return systemLabel(kSystems.front()) + std::string(separator) + systemLabel(kSystems.back());
}

std::string systemNumberRange(std::string_view separator) {
    return std::to_string(kSystems.front().number) + std::string(separator) +
           std::to_string(kSystems.back().number);
}

} // namespace karumenio::geodesy
