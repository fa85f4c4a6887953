// The recovery of an interrupted write over a real folder, with a journal of random bytes and
// files planted beside it: the surveyor's own files of every output's extension, the scripts,
// KYUSEKI.SCR, and new and old files of the run's token. It may refuse with a run-time error,
// but nothing outside the folder changes, no folder or link goes, no content appears that was
// not there, and a file whose content the journal does not record (its SHA-256) stays as it
// was: the recovery can prove no other file its own.
#include "fuzzcheck.h"

#include "job/outputformat.h"
#include "scripts/kyusekiscript.h"
#include "scripts/scriptset.h"
#include "spreadsheet/runtimeerror.h"
#include "transaction/atomicfileset.h"
#include "transaction/filenames.h"
#include "transaction/sha256.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

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

// An entry as the checker sees it: its kind apart from its content, so that a file whose
// bytes are "<link>" is a file.
struct Entry {
    enum class Kind { File, Folder, Link } kind;
    std::string content;
    friend bool operator==(const Entry&, const Entry&) = default;
};

using Tree = std::map<std::string, Entry>;

Tree snapshot(const fs::path& root) {
    Tree tree;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string name = it->path().lexically_relative(root).generic_string();
        if (it->is_symlink()) {
            tree[name] = {Entry::Kind::Link, fs::read_symlink(it->path()).string()};
        } else if (it->is_directory()) {
            tree[name] = {Entry::Kind::Folder, {}};
        } else {
            tree[name] = {Entry::Kind::File, readFile(it->path())};
        }
    }
    return tree;
}

// The files a recovery never touches, whatever a journal says: not of a name the program
// writes, or the file the run reads.
bool neverTouched(const std::string& name) {
    return name.find('/') != std::string::npos || name == "points.sim" || name == "notes.txt";
}

// The surveyor's own files, of every output's extension and of the scripts' names.
std::vector<std::string> ownFiles() {
    std::vector<std::string> names(scripts::kScriptFileNames.begin(),
                                   scripts::kScriptFileNames.end());
    names.emplace_back(scripts::kKyusekiFileName);
    for (const job::OutputFormat& format : job::outputFormats()) {
        names.push_back("mine" + std::string(format.extension));
    }
    return names;
}

struct Fixture {
    fs::path root;
    fs::path out;
    fs::path outside;
    std::vector<std::string> own = ownFiles();

    Fixture() {
        root = fuzz::scratchFolder() / ("karumenio-fuzz-journal-" + std::to_string(getpid()));
        out = root / "out";
        outside = root / "outside";
    }
    ~Fixture() {
        std::error_code error;
        fs::remove_all(root, error);
    }

    // The folders as a run may find them, with the files chosen by the bits of plant: each
    // own file, and beside some of them a new and an old file of the run's token (an empty
    // new file, as a run killed before it wrote one leaves).
    void reset(std::uint16_t plant) {
        std::error_code error;
        fs::remove_all(root, error);
        fs::create_directories(out);
        fs::create_directories(outside / "sub");
        writeFile(outside / "victim.txt", "victim");
        writeFile(outside / "ZAHYOU.SCR", "outside script");
        writeFile(out / "notes.txt", "notes");
        writeFile(out / "points.sim", "A00,\r\n");
        writeFile(out / "link.dxf", "<link>");
        fs::create_directory(out / "emptydir");
        fs::create_directory(out / "folder.csv");
        fs::create_directory_symlink(outside, out / "link", error);
        fs::create_symlink(outside / "victim.txt", out / "victim.geojson", error);
        for (std::size_t i = 0; i < own.size(); ++i) {
            if ((plant & (1u << i)) != 0) {
                writeFile(out / own[i], "old " + own[i]);
            }
        }
        for (std::size_t i = 0; i < own.size() && i < 4; ++i) {
            if ((plant & (0x200u << i)) != 0) {
                const std::string beside = "~" + own[i * 2] + "." + kToken + ".";
                writeFile(out / (beside + "tmp"), (plant & 0x2000u) ? "" : "new " + own[i * 2]);
                writeFile(out / (beside + "bak"), "old " + own[i * 2]);
            }
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    static Fixture fixture;
    fixture.reset(static_cast<std::uint16_t>(data[0] | (data[1] << 8)));
    const std::string journal(reinterpret_cast<const char*>(data + 2), size - 2);
    writeFile(fixture.out / transaction::kJournalName, journal);
    const transaction::RecoveryScope scope = job::outputFolderScope({fixture.out / "points.sim"});

    const Tree outsideBefore = snapshot(fixture.outside);
    const Tree insideBefore = snapshot(fixture.out);
    try {
        transaction::AtomicFileSet::recover(
            fixture.out, scope, transaction::FileOperations::system(transaction::Flushing::None));
    } catch (const spreadsheet::RunTimeError&) {
    }
    check(snapshot(fixture.outside) == outsideBefore, "a file outside the folder changed");
    const Tree insideAfter = snapshot(fixture.out);
    std::set<std::string> contentsBefore;
    for (const auto& [name, entry] : insideBefore) {
        contentsBefore.insert(entry.content);
    }
    for (const auto& [name, entry] : insideBefore) {
        const auto after = insideAfter.find(name);
        if (name == transaction::kJournalName) {
            continue;
        }
        // A link is the program's own only when the journal records the text it points to.
        const bool recorded =
            entry.kind != Entry::Kind::Folder &&
            journal.find(transaction::Sha256::hexDigestOf(entry.content)) != std::string::npos;
        if (entry.kind != Entry::Kind::File && !recorded) {
            check(after != insideAfter.end() && after->second == entry,
                  "a folder or link went: " + name);
            continue;
        }
        const bool emptyOfTheRun = entry.content.empty() && name.ends_with(".tmp");
        if (neverTouched(name) || (!recorded && !emptyOfTheRun)) {
            check(after != insideAfter.end() && after->second == entry,
                  "a file whose content the journal does not record changed: " + name);
        }
    }
    for (const auto& [name, entry] : insideAfter) {
        if (name.starts_with(std::string(transaction::kJournalName) + ".")) {
            // The journal set aside.
            continue;
        }
        check(entry.kind != Entry::Kind::File || contentsBefore.contains(entry.content),
              "a content appeared that was not there: " + name);
        check(insideBefore.contains(name) || !neverTouched(name),
              "a file appeared where the program writes nothing: " + name);
    }
    return 0;
}
