// Random sets of outputs of a run (the scripts' folder, a DXF and a SIMA file, the points
// file), spelt with links, dots, cases and reserved names: a set the checks let through is
// written for real, and then every output holds its own bytes and the points file its own;
// a set they let through stays let through when its names change case, as on Windows.
#include "fuzzcheck.h"

#include "job/outputformat.h"
#include "job/writetargets.h"
#include "spreadsheet/runtimeerror.h"
#include "transaction/atomicfileset.h"
#include "transaction/filenames.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace karumenio;
using karumenio::fuzz::check;
namespace fs = std::filesystem;

namespace {

// The parts paths are made of: folders, links to them, dots, and names that meet.
const char* const kFolders[] = {"out", "OUT", "other", "link", ".", "..", "out/sub", "Out/sub/.."};
const char* const kNames[] = {"LINE.SCR",
                              "line.scr",
                              "plan.dxf",
                              "PLAN.DXF",
                              "plan.dxf.",
                              "points.sim",
                              "POINTS.SIM",
                              "~karumenio.journal",
                              "~plan.dxf.0123456789abcdef.tmp",
                              "a.sim",
                              "A.SIM ",
                              "ZAHYOU.SCR"};

std::string pathOf(std::uint8_t folder, std::uint8_t name) {
    return std::string(kFolders[folder % std::size(kFolders)]) + "/" +
           kNames[name % std::size(kNames)];
}

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

struct Tree {
    fs::path root;

    Tree() {
        root = fuzz::scratchFolder() / ("karumenio-fuzz-outputs-" + std::to_string(getpid()));
    }
    ~Tree() {
        std::error_code error;
        fs::remove_all(root, error);
    }

    // Folders out, OUT, out/sub and other, "link" leading to out, and the points file.
    void reset() {
        std::error_code error;
        fs::remove_all(root, error);
        for (const char* folder : {"base/out/sub", "base/OUT/sub", "base/Out/sub", "base/other"}) {
            fs::create_directories(root / folder);
        }
        fs::create_directory_symlink(root / "base" / "out", root / "base" / "link", error);
    }
};

job::WriteTargets targetsOf(const std::uint8_t* data, bool upperCase) {
    auto spelt = [&](std::uint8_t folder, std::uint8_t name) {
        const std::string path = pathOf(folder, name);
        return upperCase ? upper(path) : path;
    };
    job::WriteTargets targets;
    targets.folder = upperCase ? upper(kFolders[data[0] % std::size(kFolders)])
                               : kFolders[data[0] % std::size(kFolders)];
    targets.scripts = (data[1] & 1) != 0;
    if ((data[1] & 2) != 0) {
        targets.files.push_back({job::findFormat("dxf"), spelt(data[2], data[3])});
    }
    if ((data[1] & 4) != 0 || !targets.scripts) {
        targets.files.push_back({job::findFormat("sima"), spelt(data[4], data[5])});
    }
    targets.inputs.push_back(spelt(data[6], data[7]));
    return targets;
}

bool passes(const job::WriteTargets& targets) {
    try {
        targets.check();
        return true;
    } catch (const transaction::OutputClash&) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) {
        return 0;
    }
    static Tree tree;
    tree.reset();
    const fs::path base = tree.root / "base";
    // Relative paths are taken from the current folder, as on a command line.
    fs::current_path(base);
    const job::WriteTargets targets = targetsOf(data, false);
    if (!passes(targets)) {
        return 0;
    }
    // Windows would take both spellings for the same files: the answer must not differ.
    check(passes(targetsOf(data, true)), "a set passes in one case and not in the other");

    const fs::path input = targets.inputs.front();
    std::error_code error;
    if (fs::is_directory(input.parent_path(), error)) {
        std::ofstream(input, std::ios::binary) << "the points";
    }
    const std::vector<transaction::RunFile> outputs = targets.outputs();
    transaction::AtomicFileSet files;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        files.add(outputs[i].path, "output " + std::to_string(i));
    }
    try {
        files.commit();
    } catch (const spreadsheet::RunTimeError&) {
        // A folder that does not exist, or a target that is a folder.
        return 0;
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        check(slurp(outputs[i].path) == "output " + std::to_string(i),
              "an output was written over: " + outputs[i].path.string());
    }
    if (fs::exists(input)) {
        check(slurp(input) == "the points", "the points file was written over");
    }
    return 0;
}
