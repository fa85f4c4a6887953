// The check that a survey map has what the registry asks for: a complete job gives no warning,
// and each item left out gives exactly one, naming it. The coordinate system comes from the
// location where the prefecture has only one.
#include "jobsupport.h"

#include "job/registrationcheck.h"
#include "job/surveymapfiles.h"
#include "parcel/landcategory.h"

#include <gtest/gtest.h>

#include <functional>

using namespace karumenio;
using namespace karumenio::job::test;
namespace fs = std::filesystem;

namespace {

// The SIMA example's two parcels (669-1: No.1–No.4, 669-2: No.2, No.5, No.6, No.3; they share
// No.2–No.3), with every field and neighbour given.
job::Settings completeSettings() {
    job::Settings settings = settingsOf("2000", "0.0000", "B4L", "250");
    settings.surveyMap = true;
    settings.planeSystem = geodesy::planeSystem(9);
    parcel::TitleBlock& fields = settings.map.titleBlock;
    fields = {"千葉県市川市八幡一丁目",
              "669番1、669番2",
              "",
              "2025-04-01",
              "測量 太郎",
              "2025-03-20",
              "山田 花子"};
    for (const char* text :
         {"670番:No.3-No.4", "道路:No.4-No.2", "668番:No.2-No.6", "水路:No.6-No.3"}) {
        settings.neighbours.push_back(*parcel::parseNeighbour(text));
    }
    return settings;
}

const char* const kMarks = "点名,境界標\nNo.1,コンクリート杭\nNo.2,金属標\nNo.3,金属標\n"
                           "No.4,石杭\nNo.5,なし\nNo.6,刻印\n";

std::vector<std::string> mapWarnings(const job::Settings& settings, const char* marks = kMarks) {
    job::Job job;
    job.setSettings(settings);
    job.openPointsFile(scripts::test::readFile(fs::path(KARUMENIO_TEST_DATA) / ".." / ".." /
                                               "examples" / "two_parcels.sim"),
                       "two_parcels.sim");
    job.openPointsFile(marks, "marks.csv");
    job.read();
    std::vector<std::string> warnings;
    job::surveyMapOf(job.plan(), job.settings(), &warnings);
    return warnings;
}

TEST(RegistrationCheck, ACompleteJobGivesNoWarning) {
    const std::vector<std::string> warnings = mapWarnings(completeSettings());
    EXPECT_TRUE(warnings.empty()) << warnings.front();
}

struct LeftOut {
    const char* name;
    std::function<void(job::Settings&)> change;
    // Texts the one warning holds.
    std::vector<std::string> says;
    const char* marks = kMarks;
};

class EachItemLeftOut : public testing::TestWithParam<LeftOut> {};

TEST_P(EachItemLeftOut, GivesExactlyOneWarningNamingIt) {
    const LeftOut& c = GetParam();
    job::Settings settings = completeSettings();
    c.change(settings);
    const std::vector<std::string> warnings = mapWarnings(settings, c.marks);
    ASSERT_EQ(warnings.size(), 1u) << (warnings.empty() ? "" : warnings[0]);
    for (const std::string& text : c.says) {
        EXPECT_NE(warnings[0].find(text), std::string::npos) << warnings[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Job, EachItemLeftOut,
    testing::Values(
        LeftOut{"location", [](job::Settings& s) { s.map.titleBlock.location = "　"; }, {"所在"}},
        LeftOut{"lot_number",
                [](job::Settings& s) { s.map.titleBlock.lotNumber.clear(); },
                {"地番", "「669-1」「669-2」"}},
        LeftOut{"land_category", [](job::Settings& s) { s.map.landCategory = nullptr; }, {"地目"}},
        LeftOut{"system_of_a_prefecture_with_one_is_filled_in",
                [](job::Settings& s) { s.planeSystem = nullptr; },
                {"座標系", "千葉県", "第IX系", "表題欄に書きます"}},
        LeftOut{"system_of_a_prefecture_with_several",
                [](job::Settings& s) {
                    s.planeSystem = nullptr;
                    s.map.titleBlock.location = "東京都八王子市元本郷町";
                },
                {"座標系", "第IX系・第XIV系・第XVIII系・第XIX系"}},
        LeftOut{"system_not_of_the_prefecture",
                [](job::Settings& s) { s.planeSystem = geodesy::planeSystem(6); },
                {"第VI系", "千葉県", "第IX系"}},
        LeftOut{"survey_date",
                [](job::Settings& s) { s.map.titleBlock.surveyDate.clear(); },
                {"測量年月日"}},
        LeftOut{
            "applicant", [](job::Settings& s) { s.map.titleBlock.applicant.clear(); }, {"申請人"}},
        LeftOut{
            "surveyor", [](job::Settings& s) { s.map.titleBlock.surveyor.clear(); }, {"作成者"}},
        LeftOut{"mark_of_a_corner",
                [](job::Settings&) {},
                {"境界標", "「No.5」"},
                "点名,境界標\nNo.1,コンクリート杭\nNo.2,金属標\nNo.3,金属標\nNo.4,石杭\n"
                "No.6,刻印\n"},
        LeftOut{"neighbour_of_a_stretch",
                [](job::Settings& s) { s.neighbours.erase(s.neighbours.begin() + 1); },
                {"隣接地", "区画「669-1」の「No.4」〜「No.2」"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegistrationCheck, TheTitleBlockTakesTheSystemFilledInFromTheLocation) {
    job::Job job;
    job::Settings settings = completeSettings();
    settings.planeSystem = nullptr;
    job.setSettings(settings);
    EXPECT_EQ(job.settings().map.titleBlock.coordinateSystem, "第IX系");
    EXPECT_EQ(job.settings().planeSystem, nullptr);
    settings.map.titleBlock.location = "東京都八王子市";
    job.setSettings(settings);
    EXPECT_EQ(job.settings().map.titleBlock.coordinateSystem, "");
}

} // namespace
