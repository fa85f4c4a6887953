// The process helper of the command-line tests: this program starts itself as the child, which
// reports what it was given, so that quoting, environment, folders and outputs can be checked.
#include "process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
// shellapi.h needs windows.h first.
#include <windows.h>

#include <shellapi.h>
#endif

namespace fs = std::filesystem;
using karumenio::test::Process;
using karumenio::test::runProcess;

namespace {

constexpr const char* kVariable = "KARUMENIO_PROCESS_TEST";

#ifdef _WIN32
std::string utf8(const wchar_t* wide) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.pop_back();
    return text;
}
#endif

// The arguments as the child's system hands them over, in UTF-8. On Windows main's narrow
// arguments and getenv pass through the ANSI code page; the wide ones are exact.
std::vector<std::string> childArguments(int argc, char** argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(utf8(wide[i]));
    }
    ::LocalFree(wide);
    return arguments;
#else
    return std::vector<std::string>(argv, argv + argc);
#endif
}

std::string testVariable() {
#ifdef _WIN32
    const wchar_t* value = ::_wgetenv(L"KARUMENIO_PROCESS_TEST");
    return value != nullptr ? utf8(value) : "(unset)";
#else
    const char* value = std::getenv(kVariable);
    return value != nullptr ? value : "(unset)";
#endif
}

fs::path fromUtf8(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

// Child: "--child STATUS ARG...". Writes each ARG ended by a zero byte to stdout; the current
// folder, the test variable and how many bytes stdin held to stderr; exits with STATUS.
int child(const std::vector<std::string>& arguments) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    for (std::size_t i = 3; i < arguments.size(); ++i) {
        std::cout << arguments[i] << '\0';
    }
    const std::u8string folder = fs::current_path().u8string();
    std::cerr << std::string(folder.begin(), folder.end()) << '\0' << testVariable() << '\0'
              << std::distance(std::istreambuf_iterator<char>(std::cin),
                               std::istreambuf_iterator<char>());
    return std::atoi(arguments[2].c_str());
}

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, '\0')) {
        parts.push_back(part);
    }
    return parts;
}

class ProcessTest : public testing::Test {
  protected:
    void SetUp() override {
        // Another build's tests may run at the same time.
        m_dir = fs::temp_directory_path() /
                ("karumenio-process-" + std::to_string(std::random_device()()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "folder with blanks");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    Process childProcess(int status, std::vector<std::string> arguments) {
        Process process;
        process.program = KARUMENIO_SELF;
        process.arguments = {"--child", std::to_string(status)};
        process.arguments.insert(process.arguments.end(), arguments.begin(), arguments.end());
        process.stdoutFile = m_dir / "out";
        process.stderrFile = m_dir / "err";
        return process;
    }

    fs::path m_dir;
};

TEST_F(ProcessTest, ArgumentsArriveUnchanged) {
    // Each is hard for some way of joining arguments into one command line.
    const std::vector<std::string> arguments = {
        "plain",  "two words", "",         "say \"hi\"", "ends\\",      "C:\\a b\\",
        "\\\\\"", "tab\there", "a\\\\b c", "\"",         "測量 点.tsv", "--edition=2000",
        "*.SCR",  "%PATH%",    "$HOME",    "x;y&z|w",    "line\nbreak"};
    const int status = runProcess(childProcess(0, arguments));
    ASSERT_EQ(status, 0) << slurp(m_dir / "err");
    const std::string out = slurp(m_dir / "out");
    std::vector<std::string> received;
    std::size_t start = 0;
    for (std::size_t end; (end = out.find('\0', start)) != std::string::npos; start = end + 1) {
        received.push_back(out.substr(start, end - start));
    }
    EXPECT_EQ(received, arguments);
}

TEST_F(ProcessTest, StatusEnvironmentFolderAndInput) {
    ASSERT_EQ(std::getenv(kVariable), nullptr);
    auto process = childProcess(3, {});
    process.environment = {{kVariable, "値 with blanks"}};
    process.workingFolder = m_dir / "folder with blanks";
    EXPECT_EQ(runProcess(process), 3);
    const auto report = split(slurp(m_dir / "err"));
    ASSERT_EQ(report.size(), 3u) << slurp(m_dir / "err");
    EXPECT_TRUE(fs::equivalent(fromUtf8(report[0]), m_dir / "folder with blanks")) << report[0];
    EXPECT_EQ(report[1], "値 with blanks");
    EXPECT_EQ(report[2], "0") << "stdin holds nothing";
    EXPECT_EQ(std::getenv(kVariable), nullptr) << "only the child's environment changes";

    // Without changes the child inherits this process's folder and environment as they are.
    EXPECT_EQ(runProcess(childProcess(0, {})), 0);
    const auto inherited = split(slurp(m_dir / "err"));
    ASSERT_EQ(inherited.size(), 3u);
    EXPECT_TRUE(fs::equivalent(fromUtf8(inherited[0]), fs::current_path()));
    EXPECT_EQ(inherited[1], "(unset)");
}

TEST_F(ProcessTest, AProgramThatCannotStartIsMinusOne) {
    auto process = childProcess(0, {});
    process.program = m_dir / "no such program.exe";
    EXPECT_EQ(runProcess(process), -1);
    process.program = KARUMENIO_SELF;
    process.stdoutFile = m_dir / "no such folder" / "out";
    EXPECT_EQ(runProcess(process), -1);
}

} // namespace

int main(int argc, char** argv) {
    const auto arguments = childArguments(argc, argv);
    if (arguments.size() >= 3 && arguments[1] == "--child") {
        return child(arguments);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
