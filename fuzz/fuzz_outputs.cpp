// Random sets of outputs of a run (the scripts' folder, a DXF and a SIMA file, the points
// file), spelt with links, dots, cases and reserved names: a set the checks let through is
// written for real, and then every output holds its own bytes and the points file its own;
// a set they let through stays let through when its names change case, as on Windows. A
// write stopped at a chosen step, as a kill would stop it, is settled by the next run into
// its folders: every output old, or every output new.
#include "fuzzcheck.h"

#include "job/outputformat.h"
#include "job/writetargets.h"
#include "spreadsheet/runtimeerror.h"
#include "transaction/atomicfileset.h"
#include "transaction/filenames.h"
#include "transaction/foldersession.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
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

struct Killed {};

// The real file system, stopped before the step counted as step.
transaction::FileOperations stoppedAt(int step) {
    auto steps = std::make_shared<int>(0);
    return transaction::FileOperations::system(transaction::Flushing::None)
        .observed([steps, step](const fs::path&) {
            if ((*steps)++ == step) {
                throw Killed{};
            }
        });
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
        // Every other output has an old content to lose.
        if (i % 2 == 0 && fs::is_directory(outputs[i].path.parent_path(), error)) {
            std::ofstream(outputs[i].path, std::ios::binary) << "old " << i;
        }
    }
    const int stop = size > 8 ? data[8] : -1;
    try {
        files.commit(stoppedAt(stop));
    } catch (const spreadsheet::RunTimeError&) {
        // A folder that does not exist, or a target that is a folder.
        return 0;
    } catch (const Killed&) {
        try {
            const transaction::FolderSession next(
                targets.folders(), targets.recoveryScope(),
                transaction::FileOperations::system(transaction::Flushing::None));
        } catch (const spreadsheet::RunTimeError&) {
            fuzz::check(false, "the next run could not settle a stopped one");
        }
        const bool old = slurp(outputs[0].path) != "output 0";
        for (std::size_t i = 0; i < outputs.size(); ++i) {
            const std::string expected = old ? (i % 2 == 0 ? "old " + std::to_string(i) : "")
                                             : "output " + std::to_string(i);
            check(slurp(outputs[i].path) == expected,
                  "a stopped run left its outputs part old, part new: " + outputs[i].path.string());
        }
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
