// Every output format of the table, as the write run writes it: in the same all-or-nothing
// run as the scripts, made in memory with the same bytes, alone as a converter writes it, and
// put right by the recovery of a run interrupted in its folder.
#include "jobsupport.h"

#include "scripts/scriptset.h"
#include "spreadsheet/runtimeerror.h"
#include "transaction/platform.h"

#include <gtest/gtest.h>

#include <map>

using namespace karumenio;
using namespace karumenio::job::test;
using karumenio::scripts::test::testFolder;
namespace fs = std::filesystem;

namespace {

// The worked example lies about the origin of system IX, which GeoJSON needs.
job::Settings inSystemIX(job::Settings settings) {
    settings.planeSystem = geodesy::planeSystem(9);
    return settings;
}

class OutputFormats : public ::testing::Test {
  protected:
    void SetUp() override {
        m_folder = testFolder("karumenio-formats-");
        fs::create_directories(m_folder);
        load(m_job, workedExampleRows(), inSystemIX(settingsOf("2000", "30.1500", "A3", "500")));
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(m_folder, error);
    }

    fs::path fileOf(const job::OutputFormat& format) const {
        return m_folder / ("plan" + std::string(format.extension));
    }

    job::Job m_job;
    fs::path m_folder;
};

// Formats may share an ending; the token, the option and the default name tell them apart.
TEST_F(OutputFormats, TokensOptionsAndDefaultNamesAreOneEach) {
    std::map<std::string_view, int> seen;
    for (const job::OutputFormat& format : job::outputFormats()) {
        EXPECT_EQ(job::findFormat(format.token), &format);
        EXPECT_TRUE(format.option.starts_with("--")) << format.option;
        EXPECT_TRUE(format.extension.starts_with(".")) << format.extension;
        EXPECT_TRUE(format.defaultName.ends_with(format.extension)) << format.defaultName;
        EXPECT_NE(format.filter.find("*" + std::string(format.extension)), std::string::npos)
            << format.filter;
        for (const std::string_view key : {format.token, format.option, format.defaultName}) {
            EXPECT_EQ(++seen[key], 1) << key;
        }
    }
    EXPECT_EQ(job::findFormat("xls"), nullptr);
}

TEST_F(OutputFormats, EachIsWrittenWithTheScriptsAsMadeInMemory) {
    for (const job::OutputFormat& format : job::outputFormats()) {
        SCOPED_TRACE(std::string(format.token));
        const auto targets = scriptsInto(m_folder, {{format.token, fileOf(format)}});
        const job::MadeFiles made = m_job.writeToMemory(targets);
        const auto report = m_job.write(targets);
        ASSERT_EQ(report.files.size(), made.files.size());
        ASSERT_EQ(report.files.size(), 5u);
        EXPECT_EQ(report.files.back(), fileOf(format));
        for (std::size_t i = 0; i < made.files.size(); ++i) {
            EXPECT_EQ(readFile(report.files[i]), made.files[i].bytes) << report.files[i];
        }
        EXPECT_EQ(report.warnings, made.warnings);
        EXPECT_FALSE(made.files.back().bytes.empty());
    }
}

TEST_F(OutputFormats, AloneTheyLeaveTheJobAsItWas) {
    for (const job::OutputFormat& format : job::outputFormats()) {
        SCOPED_TRACE(std::string(format.token));
        job::Job job;
        load(job, workedExampleRows(), inSystemIX(settingsOf("", "30.1500", "A3", "500")));
        const int indexAfterRead = job.table().pointIndex.value();
        const auto report = job.write(onlyFile(format.token, fileOf(format)));
        EXPECT_EQ(report.files, std::vector<fs::path>{fileOf(format)});
        EXPECT_FALSE(fs::exists(m_folder / "ZAHYOU.SCR"));
        EXPECT_EQ(job.lastPlan(), nullptr);
        EXPECT_EQ(job.table().pointIndex.value(), indexAfterRead);
        // What a run with the scripts writes beside them: the plan is the same.
        const job::MadeFiles withScripts =
            m_job.writeToMemory(scriptsInto({}, {{format.token, fileOf(format)}}));
        EXPECT_EQ(readFile(fileOf(format)), withScripts.files.back().bytes);
    }
}

TEST_F(OutputFormats, AFileThatCannotBeWrittenChangesNoScript) {
    for (const job::OutputFormat& format : job::outputFormats()) {
        SCOPED_TRACE(std::string(format.token));
        const fs::path missing = m_folder / "no such folder" / "plan";
        try {
            m_job.write(scriptsInto(m_folder, {{format.token, missing}}));
            ADD_FAILURE() << "no error";
        } catch (const spreadsheet::RunTimeError& e) {
            EXPECT_EQ(e.number(), 75);
        }
        EXPECT_TRUE(fs::is_empty(m_folder));
        EXPECT_EQ(m_job.lastPlan(), nullptr);
    }
}

TEST_F(OutputFormats, WithoutAReadNothingIsWritten) {
    for (const job::OutputFormat& format : job::outputFormats()) {
        SCOPED_TRACE(std::string(format.token));
        job::Job fresh;
        try {
            fresh.write(onlyFile(format.token, fileOf(format)));
            ADD_FAILURE() << "no error";
        } catch (const spreadsheet::RunTimeError& e) {
            EXPECT_EQ(e.number(), 91);
            EXPECT_NE(std::string(e.what()).find(format.role), std::string::npos) << e.what();
        }
        EXPECT_TRUE(fs::is_empty(m_folder));
    }
}

TEST_F(OutputFormats, TheRecoveryOfTheirFolderMayTouchThemAndTheScriptsOnly) {
    const transaction::RecoveryScope scope = job::outputFolderScope({m_folder / "points.sim"});
    for (const job::OutputFormat& format : job::outputFormats()) {
        SCOPED_TRACE(std::string(format.token));
        EXPECT_TRUE(scope.admits(m_folder, "plan" + std::string(format.extension)));
    }
    for (const std::string_view script : scripts::kScriptFileNames) {
        EXPECT_TRUE(scope.admits(m_folder, script)) << script;
    }
    for (const char* name : {"notes.txt", "plan.tsv", "points.sim", "sub/plan.dxf"}) {
        EXPECT_FALSE(scope.admits(m_folder, name)) << name;
    }
}

} // namespace
