#pragma once

// Shared fixtures of the script tests: worked-example tables, golden files, line splitting.

#include "points/pointtable.h"
#include "spreadsheet/cellvalue.h"
#include "spreadsheet/worksheet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace karumenio::scripts::test {

using spreadsheet::CellValue;

inline CellValue num(double v) {
    return CellValue::number(v);
}
inline CellValue txt(const char* t) {
    return CellValue::text(t);
}

struct PointRow {
    CellValue mark;
    CellValue name;
    CellValue x;
    CellValue y;
    CellValue radius;
};

// Fills slots 0.. as a read of these rows would, and sets PointCount.
inline void fillTable(points::PointTable& table, const std::vector<PointRow>& rows) {
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const PointRow& row = rows[static_cast<std::size_t>(i)];
        table.breakMark.at(i) = row.mark;
        table.labelText.at(i) = row.name;
        table.pointX.at(i) = row.x;
        table.pointY.at(i) = row.y;
        table.markRadius.at(i) = row.radius;
    }
    table.pointCount = num(static_cast<double>(rows.size()));
}

// The worked example of the input worksheet: 12 points in three sections.
inline std::vector<PointRow> workedExampleRows() {
    return {
        {txt("K"), txt("K1"), num(0), num(0), num(0)},
        {{}, txt("K2"), num(100), num(0), num(0)},
        {{}, txt("K3"), num(100), num(100), num(0)},
        {{}, txt("K4"), num(0), num(100), num(0)},
        {{}, txt("K1"), num(0), num(0), num(0)},
        {txt("K"), txt("T1"), num(60), num(-60), num(1)},
        {{}, txt("T2"), num(0), num(120), num(2)},
        {{}, txt("T3"), num(50), num(130), num(3)},
        {{}, txt("T4"), num(110), num(100), num(4)},
        {txt("K"), txt("T5"), num(-30), num(-35), num(10)},
        {{}, txt("T6"), num(-20), num(30), num(2)},
        {{}, txt("T7"), num(-50), num(150), num(0)},
    };
}

// The extent cells as the template's formulas compute them.
inline void setExtent(spreadsheet::Worksheet& sheet, CellValue maxX, CellValue minX, CellValue maxY,
                      CellValue minY) {
    sheet.setValue(6, 5, std::move(maxX));
    sheet.setValue(7, 5, std::move(minX));
    sheet.setValue(6, 6, std::move(maxY));
    sheet.setValue(7, 6, std::move(minY));
}

// A folder of its own for the running test under the system's temporary folder, named after
// the test: another build's tests may run at the same time.
inline std::filesystem::path testFolder(const std::string& prefix) {
    std::random_device device;
    return std::filesystem::temp_directory_path() /
           (prefix + std::to_string(device()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string golden(const std::string& name) {
    return readFile(std::filesystem::path(KARUMENIO_TEST_DATA) / "golden" / name);
}

// Compares with a golden file; with KARUMENIO_REGENERATE_GOLDEN=1 in the environment it
// writes the bytes as the new golden file instead, for a change of the scripts made on
// purpose (review the diff before committing it).
inline void expectGolden(const std::string& bytes, const std::string& name) {
    const char* regenerate = std::getenv("KARUMENIO_REGENERATE_GOLDEN");
    if (regenerate != nullptr && std::string(regenerate) == "1") {
        std::ofstream(std::filesystem::path(KARUMENIO_TEST_DATA) / "golden" / name,
                      std::ios::binary)
            << bytes;
        return;
    }
    EXPECT_EQ(bytes, golden(name)) << name;
}

// Lines without their CR LF; a text not ending in CR LF gets a last line "<no CR LF>".
inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            out.push_back(text.substr(pos));
            out.push_back("<no CR LF>");
            break;
        }
        out.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

} // namespace karumenio::scripts::test
