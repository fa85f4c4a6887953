// The recovery of an interrupted write takes a journal's word only for the program's own files
// in its own folder, holding the content the journal recorded: journals planted by someone
// else, journals in a copied folder, files changed since, and a journal name taken by
// something that is no file.
#include "../job/jobsupport.h"

#include "job/outputformat.h"
#include "scripts/scriptset.h"
#include "transaction/atomicfileset.h"
#include "transaction/fingerprint.h"
#include "transaction/foldersession.h"
#include "transaction/journal.h"
#include "transaction/platform.h"

#include "spreadsheet/runtimeerror.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <set>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace karumenio;
using namespace karumenio::scripts::test;
namespace fs = std::filesystem;

namespace {

using Tree = std::map<std::string, std::string>;

// Every entry under a folder, links not followed: a file's bytes, "<folder>" or the link's target.
Tree snapshot(const fs::path& root) {
    Tree tree;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string name = fs::relative(it->path(), root).generic_string();
        if (it->is_symlink()) {
            tree[name] = "<link " + fs::read_symlink(it->path()).generic_string() + ">";
        } else if (it->is_directory()) {
            tree[name] = "<folder>";
        } else {
            tree[name] = readFile(it->path());
        }
    }
    return tree;
}

// The entries of a tree that the program may have touched: its journal, scripts, DXF and
// SIMA files and the names it keeps beside them.
Tree withoutOwnFiles(Tree tree) {
    std::erase_if(tree, [](const auto& entry) {
        const std::string& name = entry.first;
        if (name.find('/') != std::string::npos) {
            return false;
        }
        for (const auto script : scripts::kScriptFileNames) {
            if (name == script || name.starts_with("~" + std::string(script) + ".")) {
                return true;
            }
        }
        return name.starts_with(std::string(transaction::kJournalName)) ||
               (name.starts_with("~") && name.ends_with(".tmp"));
    });
    return tree;
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

bool canMakeLinks(const fs::path& folder) {
    // Windows gives links to administrators and developer mode only, and MinGW's library
    // makes none at all.
    std::error_code error;
    fs::create_directory_symlink(folder, folder / "probe", error);
    std::error_code ignored;
    fs::remove(folder / "probe", ignored);
    return !error;
}

constexpr const char* kToken = "0123456789abcdef";

std::string sibling(const std::string& target, const char* suffix) {
    return "~" + target + "." + kToken + "." + suffix;
}

// A journal entry: the target's name, the bytes the run was writing and those it replaced.
struct Listed {
    std::string target;
    std::string newBytes;
    std::optional<std::string> oldBytes;
};

// The text of a journal of the token above, as a run into one folder writes it.
std::string journalOf(const std::vector<Listed>& listed, bool committed = false,
                      bool rolledBack = false) {
    transaction::Journal journal;
    journal.token = kToken;
    for (const Listed& entry : listed) {
        journal.entries.push_back({entry.target, transaction::Fingerprint::ofBytes(entry.newBytes),
                                   entry.oldBytes
                                       ? transaction::Fingerprint::ofBytes(*entry.oldBytes)
                                       : transaction::Fingerprint()});
    }
    return journal.text() + (committed ? std::string(transaction::Journal::commitMark()) : "") +
           (rolledBack ? std::string(transaction::Journal::rollBackMark()) : "");
}

class Recovery : public ::testing::Test {
  protected:
    void SetUp() override {
        m_root = testFolder("karumenio-recovery-");
        m_out = m_root / "out";
        m_outside = m_root / "outside";
        fs::create_directories(m_out);
        fs::create_directories(m_outside);
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(m_root, error);
    }

    // Recovers the output folder as a run into it does, reading points.sim there.
    std::vector<std::string> recover() {
        const transaction::FolderSession session(m_out,
                                                 job::outputFolderScope({m_out / "points.sim"}));
        return session.recovered();
    }

    fs::path m_root;
    fs::path m_out;
    fs::path m_outside;
};

struct Planted {
    const char* name;
    std::vector<Listed> entries;
    bool committed;
    bool rolledBack;
    // Files planted in the output folder, beside the victims.
    std::map<std::string, std::string> files;
    // Named in the warning: the journal set aside as not the program's, or the file left
    // because its content is not what the journal recorded.
    const char* said;
};

TEST_F(Recovery, APlantedJournalChangesNothingButTheProgramsOwnFiles) {
    const std::string outside = transaction::platform::displayPath(m_outside / "victim.txt");
    const std::string aside = ".old";
    const Planted cases[] = {
        {"absolute target, its new file planted",
         {{outside, "x", {}}},
         true,
         false,
         {{sibling("victim.txt", "tmp"), "x"}},
         aside.c_str()},
        {"absolute target undone as new", {{outside, "victim", {}}}, true, true, {}, aside.c_str()},
        {"target above the folder",
         {{"../outside/victim.txt", "victim", {}}},
         true,
         true,
         {},
         aside.c_str()},
        {"target with a backslash",
         {{"..\\outside\\victim.txt", "victim", {}}},
         true,
         true,
         {},
         aside.c_str()},
        {"file the program never makes, replaced",
         {{"notes.txt", "planted", {}}},
         true,
         false,
         {{sibling("notes.txt", "tmp"), "planted"}},
         aside.c_str()},
        {"file the program never makes, removed",
         {{"notes.txt", "notes", {}}},
         true,
         true,
         {},
         aside.c_str()},
        {"the points file, removed",
         {{"points.sim", "A00,\r\n", {}}},
         true,
         true,
         {},
         aside.c_str()},
        {"a folder of no own name", {{"emptydir", "", {}}}, true, true, {}, aside.c_str()},
        {"a script in another case",
         {{"zahyou.scr", "mine", {}}},
         true,
         true,
         {{"zahyou.scr", "mine"}},
         aside.c_str()},
        {"a script with a trailing dot",
         {{"LINE.SCR.", "mine", {}}},
         true,
         true,
         {{"LINE.SCR.", "mine"}},
         aside.c_str()},
        {"the journal itself", {{"~karumenio.journal", "", {}}}, true, true, {}, aside.c_str()},
        // The surveyor's own file of an output's extension: only its content could prove it
        // the program's.
        {"the surveyor's CSV, undone as a new file",
         {{"budget.csv", "a guess", {}}},
         true,
         true,
         {{"budget.csv", "budget"}},
         "budget.csv"},
        {"the surveyor's CSV, replaced by a planted new file",
         {{"budget.csv", "planted", "a guess"}},
         true,
         false,
         {{"budget.csv", "budget"}, {sibling("budget.csv", "tmp"), "planted"}},
         "budget.csv"},
        {"the surveyor's CSV, put back from a planted old file",
         {{"budget.csv", "a guess", "planted"}},
         true,
         true,
         {{"budget.csv", "budget"}, {sibling("budget.csv", "bak"), "planted"}},
         "budget.csv"},
        {"the surveyor's drawing, its planted new file changed since",
         {{"plan.dxf", "what the run wrote", {}}},
         true,
         false,
         {{"plan.dxf", "drawing"}, {sibling("plan.dxf", "tmp"), "planted"}},
         "plan.dxf"},
    };
    for (const Planted& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(m_out);
        fs::create_directories(m_out);
        writeFile(m_outside / "victim.txt", "victim");
        writeFile(m_out / "notes.txt", "notes");
        writeFile(m_out / "points.sim", "A00,\r\n");
        fs::create_directory(m_out / "emptydir");
        for (const auto& [name, bytes] : c.files) {
            writeFile(m_out / name, bytes);
        }
        writeFile(m_out / transaction::kJournalName,
                  journalOf(c.entries, c.committed, c.rolledBack));
        const Tree outsideBefore = snapshot(m_outside);
        const Tree insideBefore = withoutOwnFiles(snapshot(m_out));

        const auto said = recover();

        EXPECT_EQ(snapshot(m_outside), outsideBefore);
        EXPECT_EQ(withoutOwnFiles(snapshot(m_out)), insideBefore);
        ASSERT_FALSE(said.empty());
        EXPECT_NE(said.back().find(c.said), std::string::npos) << said.back();
        EXPECT_FALSE(fs::exists(fs::symlink_status(m_out / transaction::kJournalName)));
        // Set aside where the surveyor can look at it, under a name the next run ignores.
        int asideJournals = 0;
        for (const auto& entry : fs::directory_iterator(m_out)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("~karumenio.journal.") && name.ends_with(".old")) {
                ++asideJournals;
                EXPECT_NE(said.back().find(name), std::string::npos) << said.back();
            }
        }
        EXPECT_EQ(asideJournals, c.said == aside.c_str() ? 1 : 0);
        EXPECT_TRUE(recover().empty()) << "a journal is read once";
    }
}

TEST_F(Recovery, AScriptFolderReachedThroughALinkIsNotFollowed) {
    if (!canMakeLinks(m_root)) {
        GTEST_SKIP() << "symbolic links cannot be made here";
    }
    writeFile(m_outside / "ZAHYOU.SCR", "someone else's");
    fs::create_directory_symlink(m_outside, m_out / "link");
    writeFile(m_out / transaction::kJournalName,
              journalOf({{"link/ZAHYOU.SCR", "someone else's", {}}}, true, true));
    const auto said = recover();
    EXPECT_EQ(readFile(m_outside / "ZAHYOU.SCR"), "someone else's");
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("link/ZAHYOU.SCR"), std::string::npos) << said[0];
}

TEST_F(Recovery, AJournalOfTheRightShapeIsFollowedButNeverRemovesAFolder) {
    // Own names: the run finishes replacing ZAHYOU.SCR and would undo a LINE.SCR that did not
    // exist before, but LINE.SCR is a folder here.
    writeFile(m_out / "ZAHYOU.SCR", "old zahyou");
    writeFile(m_out / sibling("ZAHYOU.SCR", "tmp"), "new zahyou");
    fs::create_directory(m_out / "LINE.SCR");
    writeFile(m_out / transaction::kJournalName,
              journalOf({{"ZAHYOU.SCR", "new zahyou", "old zahyou"}}, true));
    const auto said = recover();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("完了しました"), std::string::npos) << said[0];
    EXPECT_EQ(readFile(m_out / "ZAHYOU.SCR"), "new zahyou");

    writeFile(m_out / transaction::kJournalName, journalOf({{"LINE.SCR", "", {}}}, true, true));
    recover();
    EXPECT_TRUE(fs::is_directory(m_out / "LINE.SCR"));
    EXPECT_FALSE(fs::exists(m_out / transaction::kJournalName));
}

// What a run killed at each point of its files leaves, and what the next one does with it:
// a file is moved or removed only when its content is the one the journal recorded.
TEST_F(Recovery, OnlyFilesHoldingTheRecordedContentAreMovedOrRemoved) {
    struct Case {
        const char* name;
        bool committed;
        bool rolledBack;
        std::map<std::string, std::string> before;
        std::map<std::string, std::string> after;
        bool reported;
    };
    const std::string tmp = sibling("LINE.SCR", "tmp");
    const std::string bak = sibling("LINE.SCR", "bak");
    const Case cases[] = {
        {"killed writing the new file",
         false,
         false,
         {{"LINE.SCR", "old"}, {tmp, "ne"}},
         {{"LINE.SCR", "old"}, {tmp, "ne"}},
         true},
        {"killed before writing the new file",
         false,
         false,
         {{"LINE.SCR", "old"}, {tmp, ""}},
         {{"LINE.SCR", "old"}},
         false},
        {"killed before the renames",
         true,
         false,
         {{"LINE.SCR", "old"}, {tmp, "new"}},
         {{"LINE.SCR", "new"}},
         false},
        {"killed between its two renames",
         true,
         false,
         {{bak, "old"}, {tmp, "new"}},
         {{"LINE.SCR", "new"}},
         false},
        {"killed after its renames",
         true,
         false,
         {{"LINE.SCR", "new"}, {bak, "old"}},
         {{"LINE.SCR", "new"}},
         false},
        {"given up after its renames",
         true,
         true,
         {{"LINE.SCR", "new"}, {bak, "old"}},
         {{"LINE.SCR", "old"}},
         false},
        {"given up, the old file changed since",
         true,
         true,
         {{"LINE.SCR", "new"}, {bak, "edited"}},
         {{"LINE.SCR", "new"}, {bak, "edited"}},
         true},
        {"finished, the target edited since",
         true,
         false,
         {{"LINE.SCR", "edited"}, {tmp, "new"}},
         {{"LINE.SCR", "edited"}, {tmp, "new"}},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(m_out);
        fs::create_directories(m_out);
        for (const auto& [name, bytes] : c.before) {
            writeFile(m_out / name, bytes);
        }
        writeFile(m_out / transaction::kJournalName,
                  journalOf({{"LINE.SCR", "new", "old"}}, c.committed, c.rolledBack));
        const auto said = recover();
        EXPECT_EQ(snapshot(m_out), (Tree(c.after.begin(), c.after.end())));
        ASSERT_FALSE(said.empty());
        EXPECT_EQ(said.back().find("そのままにしました") != std::string::npos, c.reported)
            << said.back();
    }
}

TEST_F(Recovery, AJournalThatIsNoJournalIsSetAsideUnread) {
    writeFile(m_out / "ZAHYOU.SCR", "old");
    writeFile(m_out / sibling("ZAHYOU.SCR", "tmp"), "planted");
    const std::string valid = journalOf({{"ZAHYOU.SCR", "planted", "old"}}, true);
    const std::pair<const char*, std::string> cases[] = {
        {"longer than any journal", valid + std::string(transaction::Journal::kSizeLimit, '\n')},
        {"not a journal at all", "commit\n"},
        {"a journal of an earlier version",
         "karumenio journal 2\n10:ZAHYOU.SCR\n31:~ZAHYOU.SCR.0123456789abcdef.tmp\n0:\ncommit\n"},
        {"a token that is no run's", "karumenio journal 3\n3:abc\n0:\n1:0\ncommit\n"},
        {"text after the commit mark", valid + "12:PLOT.SCR\n"},
    };
    for (const auto& [name, text] : cases) {
        SCOPED_TRACE(name);
        writeFile(m_out / transaction::kJournalName, text);
        const auto said = recover();
        ASSERT_FALSE(said.empty());
        EXPECT_NE(said.back().find(".old"), std::string::npos) << said.back();
        EXPECT_FALSE(fs::exists(m_out / transaction::kJournalName));
    }
    EXPECT_EQ(readFile(m_out / "ZAHYOU.SCR"), "planted")
        << "the last journal's own entry was followed before the rest was set aside";
}

TEST_F(Recovery, AJournalCutShortByACrashIsOursAndQuietlyUndone) {
    const std::string text = journalOf({{"ZAHYOU.SCR", "zahyou", {}}, {"LINE.SCR", "line", {}}});
    // The new files are made only once the journal is complete; a test may plant the first.
    const std::size_t firstEntryEnd = journalOf({{"ZAHYOU.SCR", "zahyou", {}}}).size();
    for (std::size_t cut = 0; cut < text.size(); ++cut) {
        SCOPED_TRACE(cut);
        writeFile(m_out / sibling("ZAHYOU.SCR", "tmp"), "zahyou");
        writeFile(m_out / transaction::kJournalName, text.substr(0, cut));
        const auto said = recover();
        for (const std::string& line : said) {
            EXPECT_EQ(line.find(".old"), std::string::npos) << line;
        }
        const Tree left = snapshot(m_out);
        EXPECT_FALSE(left.contains(std::string(transaction::kJournalName)));
        EXPECT_EQ(left.size(), cut >= firstEntryEnd ? 0u : 1u) << "the listed new file is removed";
        fs::remove(m_out / sibling("ZAHYOU.SCR", "tmp"));
    }
}

TEST_F(Recovery, AJournalNameTakenByAFolderOrFifoSaysWhatToDo) {
    std::vector<std::string> kinds = {"folder"};
#ifndef _WIN32
    kinds.push_back("fifo");
#endif
    for (const std::string& kind : kinds) {
        SCOPED_TRACE(kind);
        const fs::path journal = m_out / transaction::kJournalName;
        if (kind == "folder") {
            fs::create_directory(journal);
        } else {
#ifndef _WIN32
            ASSERT_EQ(::mkfifo(journal.c_str(), 0600), 0);
#endif
        }
        try {
            recover();
            ADD_FAILURE() << "no error";
        } catch (const spreadsheet::RunTimeError& e) {
            const std::string message = e.what();
            EXPECT_EQ(e.number(), 75);
            EXPECT_NE(message.find("「~karumenio.journal」を削除"), std::string::npos) << message;
            EXPECT_EQ(message.find("別の出力が書き込み中"), std::string::npos) << message;
        }
        EXPECT_TRUE(fs::exists(fs::symlink_status(journal))) << "it is the surveyor's to remove";
        fs::remove(journal);
    }
}

struct Killed {};

// A write of the worked example into the folder, whose file steps may be replaced.
void writeWorkedExample(const fs::path& folder, const transaction::FileOperations& operations) {
    job::Job job;
    job::test::load(job, job::test::workedExampleRows());
    job.write(job::test::scriptsInto(folder), operations);
}

// A run killed at its first rename, all its new files complete.
void killAtTheFirstRename(const fs::path& folder) {
    auto operations = transaction::FileOperations::system();
    operations.rename = [](const fs::path&, const fs::path&, std::error_code&) { throw Killed{}; };
    EXPECT_THROW(writeWorkedExample(folder, operations), Killed);
}

TEST_F(Recovery, ARunThatFailsAfterTheRecoverySaysWhatTheRecoveryChanged) {
    for (const auto name : scripts::kScriptFileNames) {
        writeFile(m_out / name, "old");
    }
    killAtTheFirstRename(m_out);
    auto operations = transaction::FileOperations::system();
    operations.createFile = [](const fs::path&, std::string_view) { return false; };
    try {
        writeWorkedExample(m_out, operations);
        ADD_FAILURE() << "no error";
    } catch (const spreadsheet::RunTimeError& e) {
        const std::string message = e.what();
        EXPECT_EQ(message.find(transaction::kNothingChanged), std::string::npos) << message;
        EXPECT_NE(message.find("前回中断した出力を完了しました"), std::string::npos) << message;
    }
    EXPECT_NE(readFile(m_out / "ZAHYOU.SCR"), "old") << "the interrupted run was finished";
}

TEST_F(Recovery, AFolderCopiedWhileARunWasInterruptedIsRepairedInTheCopy) {
    for (const int renamesBeforeKill : {0, 2}) {
        SCOPED_TRACE(renamesBeforeKill);
        fs::remove_all(m_out);
        fs::remove_all(m_root / "copy");
        fs::create_directories(m_out);
        for (const auto name : scripts::kScriptFileNames) {
            writeFile(m_out / name, "old " + std::string(name));
        }
        auto operations = transaction::FileOperations::system();
        int renames = 0;
        const auto realRename = operations.rename;
        operations.rename = [&](const fs::path& from, const fs::path& to, std::error_code& error) {
            if (renames++ == renamesBeforeKill) {
                throw Killed{};
            }
            realRename(from, to, error);
        };
        EXPECT_THROW(writeWorkedExample(m_out, operations), Killed);
        fs::copy(m_out, m_root / "copy", fs::copy_options::recursive);
        const Tree original = snapshot(m_out);

        {
            // On Windows the lock is a file in the folder for as long as the session lasts.
            const transaction::FolderSession session(m_root / "copy", job::outputFolderScope());
        }
        EXPECT_EQ(snapshot(m_out), original);
        const Tree copy = snapshot(m_root / "copy");
        EXPECT_EQ(copy.size(), 4u) << "only the four scripts are left in the copy";
        for (const auto name : scripts::kScriptFileNames) {
            ASSERT_TRUE(copy.contains(std::string(name))) << name;
        }
        // All old when killed before the commit mark's first rename, all new after it.
        const bool finished = copy.at("ZAHYOU.SCR") != "old ZAHYOU.SCR";
        for (const auto name : scripts::kScriptFileNames) {
            EXPECT_EQ(copy.at(std::string(name)) != "old " + std::string(name), finished) << name;
        }
    }
}

} // namespace

namespace {

// A set over two folders, as a run with --dxf in another folder writes it: the scripts (one
// of them new) beside each other, the drawing elsewhere, in a folder whose name differs in
// case alone (another folder but on Windows, where it is the same one).
class TwoFolders : public Recovery {
  protected:
    void SetUp() override {
        Recovery::SetUp();
        m_drawings = m_root / "OUT";
        fs::create_directories(m_drawings);
    }

    std::vector<fs::path> targets() const {
        return {m_out / "ZAHYOU.SCR", m_out / "LINE.SCR", m_out / "PLOT.SCR", m_out / "TEXT.SCR",
                m_drawings / "plan.dxf"};
    }
    // The old contents; TEXT.SCR did not exist.
    void plantOld() {
        for (const fs::path& folder : {m_out, m_drawings}) {
            fs::remove_all(folder);
            fs::create_directories(folder);
        }
        for (const fs::path& target : targets()) {
            if (target.filename() != "TEXT.SCR") {
                writeFile(target, "old " + target.filename().string());
            }
        }
    }
    void writeSet(const transaction::FileOperations& operations) const {
        transaction::AtomicFileSet files;
        for (const fs::path& target : targets()) {
            files.add(target, "new " + target.filename().string());
        }
        files.commit(operations);
    }
    // "old", "new", or how else the set was found: every file of it must say the same.
    std::string stateOfSet() const {
        std::set<std::string> states;
        for (const fs::path& target : targets()) {
            const std::string name = target.filename().string();
            if (!fs::exists(fs::symlink_status(target))) {
                states.insert(name == "TEXT.SCR" ? "old" : "lost " + name);
            } else {
                const std::string bytes = readFile(target);
                states.insert(bytes == "old " + name   ? "old"
                              : bytes == "new " + name ? "new"
                                                       : "other " + name);
            }
        }
        std::string said;
        for (const std::string& state : states) {
            said += (said.empty() ? "" : " + ") + state;
        }
        return said;
    }
    // The names the set keeps for itself that are still there.
    std::vector<std::string> leftOver() const {
        std::vector<std::string> names;
        for (const fs::path& folder : {m_out, m_drawings}) {
            for (const auto& entry : fs::directory_iterator(folder)) {
                const std::string name = entry.path().filename().string();
                if (name.starts_with("~")) {
                    names.push_back(name);
                }
            }
        }
        return names;
    }

    fs::path m_drawings;
};

// Steps of the file system that stop the run, as a kill would, at the one counted.
// A file being created when the kill comes is left half-written.
transaction::FileOperations killedAt(int step, int& steps) {
    const auto real = transaction::FileOperations::system(transaction::Flushing::None);
    auto operations = real.observed([&steps, step](const fs::path&) {
        if (steps++ == step) {
            throw Killed{};
        }
    });
    const auto create = operations.createFile;
    operations.createFile = [&steps, step, real, create](const fs::path& path,
                                                         std::string_view bytes) {
        if (steps == step) {
            real.createFile(path, bytes.substr(0, bytes.size() / 2));
        }
        return create(path, bytes);
    };
    return operations;
}

TEST_F(TwoFolders, AKillAtAnyStepLeavesTheSetAllOldOrAllNewWhicheverFolderRunsNext) {
    int total = 0;
    plantOld();
    writeSet(killedAt(-1, total));
    ASSERT_EQ(stateOfSet(), "new");
    ASSERT_GT(total, 20);

    const auto scope = job::outputFolderScope();
    // The next runs: one into both folders, or one into either folder and later the other.
    const std::vector<std::vector<std::vector<fs::path>>> nextRuns = {
        {{m_out, m_drawings}}, {{m_out}, {m_drawings}}, {{m_drawings}, {m_out}}};
    for (int step = 0; step < total; ++step) {
        for (const auto& runs : nextRuns) {
            SCOPED_TRACE("killed at step " + std::to_string(step) + ", next run into " +
                         runs.front().front().filename().string() +
                         (runs.front().size() > 1 ? " and the other" : " first"));
            plantOld();
            int steps = 0;
            EXPECT_THROW(writeSet(killedAt(step, steps)), Killed);
            std::vector<std::string> said;
            for (const auto& folders : runs) {
                const transaction::FolderSession session(
                    folders, scope,
                    transaction::FileOperations::system(transaction::Flushing::None));
                said.insert(said.end(), session.recovered().begin(), session.recovered().end());
            }
            const std::string state = stateOfSet();
            EXPECT_TRUE(state == "old" || state == "new") << state;
            // Only a new file the kill cut short stays, and is reported.
            for (const std::string& name : leftOver()) {
                EXPECT_TRUE(name.ends_with(".tmp")) << name;
                EXPECT_TRUE(std::any_of(said.begin(), said.end(), [&](const std::string& line) {
                    return line.find(name) != std::string::npos;
                })) << name;
            }
        }
    }
}

} // namespace
