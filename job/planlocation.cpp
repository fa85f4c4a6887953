#include "planlocation.h"

#include "settings.h"

#include "geodesy/geojsonwriter.h"
#include "geodesy/maplink.h"
#include "geodesy/placementcheck.h"
#include "geodesy/planeextent.h"
#include "parcel/parcel.h"
#include "parcel/parcelarea.h"
#include "plan/plan.h"
#include "spreadsheet/runtimeerror.h"

#include <algorithm>

namespace karumenio::job {

namespace {

geodesy::PlanePoint fromMillimetres(const parcel::Vertex& v) {
    return {static_cast<double>(v.x) / 1000.0, static_cast<double>(v.y) / 1000.0};
}

} // namespace

std::optional<PlanLocation> locatePlan(const plan::Plan& plan, const geodesy::PlaneSystem& system) {
    if (plan.points.empty()) {
        return std::nullopt;
    }
    std::vector<geodesy::PlanePoint> points;
    points.reserve(plan.points.size());
    for (const plan::PlanPoint& p : plan.points) {
        points.push_back({p.x, p.y});
    }
    const geodesy::PlaneExtent extent = geodesy::PlaneExtent::of(points);
    PlanLocation location;
    location.mapAddress = geodesy::gsiMapAddress(system, extent);
    location.warning = geodesy::checkPlacement(system, extent.centroid).warning;
    return location;
}

geodesy::GeoJsonContent geoJsonContent(const plan::Plan& plan, const Settings& settings) {
    geodesy::GeoJsonContent content;
    const parcel::ParcelSearch search = parcel::findParcels(plan);
    const parcel::LandCategory& category = settings.map.landCategory != nullptr
                                               ? *settings.map.landCategory
                                               : parcel::kDefaultLandCategory;
    const std::vector<parcel::ParcelArea> areas = parcel::computeAreas(search.parcels, category);
    for (std::size_t i = 0; i < search.parcels.size(); ++i) {
        geodesy::GeoJsonParcel parcel;
        parcel.name = search.parcels[i].name;
        for (const parcel::Vertex& v : search.parcels[i].vertices) {
            parcel.vertices.push_back(fromMillimetres(v));
        }
        parcel.areaSquareMetres = areas[i].areaText();
        parcel.chiseki = areas[i].registeredAreaText();
        content.parcels.push_back(std::move(parcel));
    }
    // The sections: slot 0 starts one, every break mark after it another. A section that is a
    // parcel is a polygon already.
    const auto isParcel = [&](std::size_t first) {
        return std::any_of(search.parcels.begin(), search.parcels.end(),
                           [&](const parcel::Parcel& p) {
                               return static_cast<std::size_t>(p.firstSlot) == first;
                           });
    };
    for (std::size_t first = 0; first < plan.points.size();) {
        std::size_t end = first + 1;
        while (end < plan.points.size() && !plan.points[end].breakBefore) {
            ++end;
        }
        if (end - first >= 2 && !isParcel(first)) {
            geodesy::GeoJsonLine line;
            line.name = plan.points[first].breakMark;
            for (std::size_t slot = first; slot < end; ++slot) {
                line.points.push_back({plan.points[slot].x, plan.points[slot].y});
            }
            content.lines.push_back(std::move(line));
        }
        first = end;
    }
    for (const plan::PlanPoint& p : plan.points) {
        content.points.push_back({p.name, {p.x, p.y}});
    }
    return content;
}

FormatBytes geoJsonFile(const plan::Plan& plan, const Settings& settings) {
    using spreadsheet::RunError;
    using spreadsheet::RunTimeError;
    if (settings.planeSystem == nullptr) {
        throw RunTimeError(RunError::TypeMismatch,
                           "座標系が選ばれていないため、GeoJSON を書き出せません。"
                           "平面直角座標系（" +
                               geodesy::systemLabelRange() + "）を選んで下さい。");
    }
    try {
        return {geodesy::writeGeoJson(geoJsonContent(plan, settings), *settings.planeSystem), {}};
    } catch (const geodesy::OutOfSystemError& e) {
        throw RunTimeError(RunError::Overflow, e.what());
    }
}

} // namespace karumenio::job
