#pragma once

#include <string>
#include <vector>

namespace karumenio::geodesy {
struct PlaneSystem;
}

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::parcel {
struct Parcel;
}

namespace karumenio::job {

struct Settings;

// The plane rectangular system the survey map names: the one chosen, else the only one of the
// prefecture the location starts with; nullptr when there is neither.
const geodesy::PlaneSystem* mapSystem(const Settings& settings);

// What the registry asks of a survey map that the job leaves out, as one warning each (in
// Japanese, naming the item): 所在, 地番, 地目, 座標系, 測量年月日, 申請人, 作成者, the boundary
// marks of the parcels' corners, and a neighbour (listed, or a parcel of the job) along every
// side. Then a system filled in from the location or not among the location's, listed
// neighbours not found, and marks and classes not of the lists. Nothing is refused: a draft is
// a map too.
std::vector<std::string> checkRegistration(const plan::Plan& plan,
                                           const std::vector<parcel::Parcel>& parcels,
                                           const Settings& settings);

} // namespace karumenio::job
