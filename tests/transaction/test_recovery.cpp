// The recovery of an interrupted write takes a journal's word only for the program's own files
// in its own folder: journals planted by someone else, journals in a copied folder, and a
// journal name taken by something that is no file.
#include "../job/jobsupport.h"

#include "job/outputformat.h"
#include "scripts/scriptset.h"
#include "transaction/atomicfileset.h"
#include "transaction/foldersession.h"
#include "transaction/journal.h"
#include "transaction/platform.h"

#include "spreadsheet/runtimeerror.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

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
    std::vector<transaction::Journal::Entry> entries;
    bool committed;
    bool rolledBack;
    // Files planted in the output folder, beside the victims.
    std::map<std::string, std::string> files;
};

TEST_F(Recovery, APlantedJournalChangesNothingButTheProgramsOwnFiles) {
    const std::string outside = transaction::platform::displayPath(m_outside / "victim.txt");
    const std::string tmp = sibling("victim.txt", "tmp");
    const std::string notesTmp = sibling("notes.txt", "tmp");
    const Planted cases[] = {
        {"absolute target, its new file planted", {{outside, tmp, ""}}, true, false, {{tmp, "x"}}},
        {"absolute target undone as new", {{outside, tmp, ""}}, true, true, {}},
        {"target above the folder", {{"../outside/victim.txt", tmp, ""}}, true, true, {}},
        {"target with a backslash", {{"..\\outside\\victim.txt", tmp, ""}}, true, true, {}},
        {"file the program never makes, replaced",
         {{"notes.txt", notesTmp, ""}},
         true,
         false,
         {{notesTmp, "planted"}}},
        {"file the program never makes, removed", {{"notes.txt", notesTmp, ""}}, true, true, {}},
        {"the points file, removed",
         {{"points.sim", sibling("points.sim", "tmp"), ""}},
         true,
         true,
         {}},
        {"a folder of no own name", {{"emptydir", sibling("emptydir", "tmp"), ""}}, true, true, {}},
        {"a script whose new file is another file",
         {{"ZAHYOU.SCR", "notes.txt", ""}},
         true,
         false,
         {}},
        {"a script whose old file is another file",
         {{"ZAHYOU.SCR", sibling("ZAHYOU.SCR", "tmp"), "notes.txt"}},
         true,
         true,
         {}},
        {"a script in another case",
         {{"zahyou.scr", sibling("zahyou.scr", "tmp"), ""}},
         true,
         true,
         {{"zahyou.scr", "mine"}}},
        {"a script with a trailing dot",
         {{"LINE.SCR.", sibling("LINE.SCR.", "tmp"), ""}},
         true,
         true,
         {{"LINE.SCR.", "mine"}}},
        {"the journal itself",
         {{"~karumenio.journal", sibling("~karumenio.journal", "tmp"), ""}},
         true,
         true,
         {}},
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
                  transaction::Journal::text(c.entries) +
                      (c.committed ? std::string(transaction::Journal::commitMark()) : "") +
                      (c.rolledBack ? std::string(transaction::Journal::rollBackMark()) : ""));
        const Tree outsideBefore = snapshot(m_outside);
        const Tree insideBefore = withoutOwnFiles(snapshot(m_out));

        const auto said = recover();

        EXPECT_EQ(snapshot(m_outside), outsideBefore);
        EXPECT_EQ(withoutOwnFiles(snapshot(m_out)), insideBefore);
        ASSERT_EQ(said.size(), 1u);
        EXPECT_NE(said[0].find("~karumenio.journal"), std::string::npos) << said[0];
        EXPECT_FALSE(fs::exists(fs::symlink_status(m_out / transaction::kJournalName)));
        // Set aside where the surveyor can look at it, under a name the next run ignores.
        int asideJournals = 0;
        for (const auto& entry : fs::directory_iterator(m_out)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("~karumenio.journal.") && name.ends_with(".old")) {
                ++asideJournals;
                EXPECT_NE(said[0].find(name), std::string::npos) << said[0];
            }
        }
        EXPECT_EQ(asideJournals, 1);
        EXPECT_TRUE(recover().empty()) << "a journal set aside is not read again";
    }
}

TEST_F(Recovery, AScriptFolderReachedThroughALinkIsNotFollowed) {
    if (!canMakeLinks(m_root)) {
        GTEST_SKIP() << "symbolic links cannot be made here";
    }
    writeFile(m_outside / "ZAHYOU.SCR", "someone else's");
    fs::create_directory_symlink(m_outside, m_out / "link");
    const std::string target = "link/ZAHYOU.SCR";
    writeFile(m_out / transaction::kJournalName,
              transaction::Journal::text({{target, sibling(target, "tmp"), ""}}) +
                  std::string(transaction::Journal::commitMark()) +
                  std::string(transaction::Journal::rollBackMark()));
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
              transaction::Journal::text({{"ZAHYOU.SCR", sibling("ZAHYOU.SCR", "tmp"), ""}}) +
                  std::string(transaction::Journal::commitMark()));
    const auto said = recover();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("完了しました"), std::string::npos) << said[0];
    EXPECT_EQ(readFile(m_out / "ZAHYOU.SCR"), "new zahyou");

    writeFile(m_out / transaction::kJournalName,
              transaction::Journal::text({{"LINE.SCR", sibling("LINE.SCR", "tmp"), ""}}) +
                  std::string(transaction::Journal::commitMark()) +
                  std::string(transaction::Journal::rollBackMark()));
    recover();
    EXPECT_TRUE(fs::is_directory(m_out / "LINE.SCR"));
    EXPECT_FALSE(fs::exists(m_out / transaction::kJournalName));
}

TEST_F(Recovery, AJournalThatIsNoJournalIsSetAsideUnread) {
    writeFile(m_out / "ZAHYOU.SCR", "old");
    writeFile(m_out / sibling("ZAHYOU.SCR", "tmp"), "planted");
    const std::string valid =
        transaction::Journal::text({{"ZAHYOU.SCR", sibling("ZAHYOU.SCR", "tmp"), ""}}) +
        std::string(transaction::Journal::commitMark());
    const std::pair<const char*, std::string> cases[] = {
        {"longer than any journal", valid + std::string(transaction::Journal::kSizeLimit, '\n')},
        {"not a journal at all", "commit\n"},
        {"a journal of another version", "karumenio journal 1\n10:ZAHYOU.SCR\ncommit\n"},
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
    const transaction::Journal::Entry first{"ZAHYOU.SCR", sibling("ZAHYOU.SCR", "tmp"), ""};
    const std::string text =
        transaction::Journal::text({first, {"LINE.SCR", sibling("LINE.SCR", "tmp"), ""}});
    // The new files are made only once the journal is complete; a test may plant the first.
    const std::size_t firstEntryEnd = transaction::Journal::text({first}).size();
    for (std::size_t cut = 0; cut < text.size(); ++cut) {
        SCOPED_TRACE(cut);
        writeFile(m_out / sibling("ZAHYOU.SCR", "tmp"), "half");
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
