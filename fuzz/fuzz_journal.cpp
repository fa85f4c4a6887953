// The recovery of an interrupted write over a real folder, with a journal of random bytes and
// files planted beside it: it may refuse with a run-time error, but nothing outside the folder
// changes, nor any file in it that the program does not write, and no folder is removed.
#include "fuzzcheck.h"

#include "job/outputformat.h"
#include "spreadsheet/runtimeerror.h"
#include "transaction/atomicfileset.h"
#include "transaction/filenames.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

using namespace karumenio;
using karumenio::fuzz::check;
namespace fs = std::filesystem;

namespace {

constexpr const char* kToken = "0123456789abcdef";

// Plain system calls: stream buffers, fresh under the sanitizer for every file, cost more
// than the files themselves.
void writeFile(const fs::path& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        ::close(fd);
    }
}

std::string readFile(const fs::path& path) {
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return "<unreadable>";
    }
    char buffer[512];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

using Tree = std::map<std::string, std::string>;

Tree snapshot(const fs::path& root) {
    Tree tree;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string name = it->path().lexically_relative(root).generic_string();
        if (it->is_symlink()) {
            tree[name] = "<link>";
        } else if (it->is_directory()) {
            tree[name] = "<folder>";
        } else {
            tree[name] = readFile(it->path());
        }
    }
    return tree;
}

// Entries a recovery may change, decided here and not by the code under test: at the
// folder's top, the four scripts, a DXF or SIMA file other than the points file, and the
// journal and the names kept beside targets ("~NAME.<token>.tmp", ".bak", ".old").
bool mayChange(const std::string& name) {
    if (name.find('/') != std::string::npos || name == "points.sim") {
        return false;
    }
    for (const char* script : {"ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR"}) {
        if (name == script) {
            return true;
        }
    }
    std::string lower = name;
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const auto endsWith = [&](const char* end) { return lower.ends_with(end); };
    if (endsWith(".dxf") || endsWith(".sim")) {
        return true;
    }
    return name.starts_with("~") && (name.starts_with("~karumenio.journal") || endsWith(".tmp") ||
                                     endsWith(".bak") || endsWith(".old"));
}

struct Fixture {
    fs::path root;
    fs::path out;
    fs::path outside;

    Fixture() {
        root = fuzz::scratchFolder() / ("karumenio-fuzz-journal-" + std::to_string(getpid()));
        out = root / "out";
        outside = root / "outside";
    }
    ~Fixture() {
        std::error_code error;
        fs::remove_all(root, error);
    }

    // The folders as a run may find them, with planted files chosen by the bits of plant.
    void reset(std::uint8_t plant) {
        std::error_code error;
        fs::remove_all(root, error);
        fs::create_directories(out);
        fs::create_directories(outside / "sub");
        writeFile(outside / "victim.txt", "victim");
        writeFile(outside / "ZAHYOU.SCR", "outside script");
        writeFile(out / "notes.txt", "notes");
        writeFile(out / "points.sim", "A00,\r\n");
        writeFile(out / "plan.dxf", "old drawing");
        fs::create_directory(out / "emptydir");
        fs::create_directory_symlink(outside, out / "link", error);
        const char* scripts[] = {"ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR"};
        for (int i = 0; i < 4; ++i) {
            if ((plant & (1 << i)) != 0) {
                writeFile(out / scripts[i], std::string("old ") + scripts[i]);
            }
        }
        const std::string planted[] = {"ZAHYOU.SCR", "notes.txt", "points.sim", "plan.dxf"};
        for (int i = 0; i < 4; ++i) {
            if ((plant & (16 << i)) != 0) {
                for (const char* suffix : {"tmp", "bak"}) {
                    writeFile(out / ("~" + planted[i] + "." + kToken + "." + suffix),
                              std::string("planted ") + suffix);
                }
            }
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    static Fixture fixture;
    fixture.reset(data[0]);
    const std::string journal(reinterpret_cast<const char*>(data + 1), size - 1);
    writeFile(fixture.out / transaction::kJournalName, journal);
    const transaction::RecoveryScope scope = job::outputFolderScope({fixture.out / "points.sim"});

    const Tree outsideBefore = snapshot(fixture.outside);
    Tree insideBefore = snapshot(fixture.out);
    try {
        transaction::AtomicFileSet::recover(fixture.out, scope);
    } catch (const spreadsheet::RunTimeError&) {
    }
    check(snapshot(fixture.outside) == outsideBefore, "a file outside the folder changed");
    const Tree insideAfter = snapshot(fixture.out);
    for (const auto& [name, content] : insideBefore) {
        const auto after = insideAfter.find(name);
        if (content == "<folder>" || content == "<link>") {
            check(after != insideAfter.end() && after->second == content,
                  "a folder or link went: " + name);
        } else if (!mayChange(name)) {
            check(after != insideAfter.end() && after->second == content,
                  "a file that is not the program's changed: " + name);
        }
    }
    for (const auto& [name, content] : insideAfter) {
        check(insideBefore.contains(name) || mayChange(name),
              "a file that is not the program's appeared: " + name);
    }
    return 0;
}
