#include "atomicfileset.h"

#include "journal.h"
#include "outputset.h"
#include "platform.h"
#include "writereport.h"

#include "numeric/conversion.h"
#include "spreadsheet/runtimeerror.h"

#include <algorithm>

namespace karumenio::transaction {

namespace fs = std::filesystem;

namespace {

const std::string kNothing(kNothingChanged);

[[noreturn]] void throwAccess(const std::string& message) {
    throw spreadsheet::RunTimeError(spreadsheet::RunError::PathFileAccess, message);
}

std::string quoted(const fs::path& path) {
    return "「" + platform::displayPath(path) + "」";
}

fs::path folderOf(const fs::path& target) {
    return target.parent_path().empty() ? fs::path(".") : target.parent_path();
}

fs::path inFolder(const fs::path& folder, std::string_view name) {
    return folder / platform::pathFromUtf8(name);
}

fs::file_status statusOf(const fs::path& path) {
    std::error_code error;
    return fs::symlink_status(path, error);
}

bool isFileOrLink(const fs::path& path) {
    const auto status = statusOf(path);
    return fs::is_regular_file(status) || fs::is_symlink(status);
}

bool isAbsent(const fs::path& path) {
    return !fs::exists(statusOf(path));
}

// A name read from a journal is not trusted to be a file: a folder is never removed.
void removeFileQuietly(const fs::path& path) {
    if (isFileOrLink(path)) {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
}

// Puts one of the set's files onto its target, which may be missing or a file, never a folder.
void moveOnto(const fs::path& from, const fs::path& to, std::error_code& error) {
    if (!isFileOrLink(to) && !isAbsent(to)) {
        error = std::make_error_code(std::errc::is_a_directory);
        return;
    }
    fs::rename(from, to, error);
}

// Puts the old files back; returns a line for each that could not be.
std::string rollBack(const fs::path& folder, const Journal& journal) {
    std::string lost;
    for (const Journal::Entry& entry : journal.entries) {
        const fs::path target = inFolder(folder, entry.target);
        const fs::path temporary = inFolder(folder, entry.temporary);
        // Before the commit mark no target has been touched.
        if (journal.committed) {
            const fs::path backup =
                entry.backup.empty() ? fs::path() : inFolder(folder, entry.backup);
            if (!backup.empty() && isFileOrLink(backup)) {
                std::error_code error;
                moveOnto(backup, target, error);
                if (error) {
                    lost += "\n" + quoted(target) + "の元の内容は" + quoted(backup) +
                            "に残っています。";
                }
            } else if (backup.empty() && isAbsent(temporary) &&
                       fs::is_regular_file(statusOf(target))) {
                // A file that did not exist before the set.
                std::error_code ignored;
                fs::remove(target, ignored);
            }
        }
        removeFileQuietly(temporary);
    }
    return lost;
}

// Puts the remaining new files in place; returns a line for each that could not be.
std::string rollForward(const fs::path& folder, const Journal& journal) {
    std::string failed;
    for (const Journal::Entry& entry : journal.entries) {
        const fs::path temporary = inFolder(folder, entry.temporary);
        if (fs::is_regular_file(statusOf(temporary))) {
            const fs::path target = inFolder(folder, entry.target);
            std::error_code error;
            moveOnto(temporary, target, error);
            if (error) {
                failed += "\n" + quoted(target) + "の新しい内容は" + quoted(temporary) +
                          "に残っています。";
            }
        }
    }
    if (failed.empty()) {
        for (const Journal::Entry& entry : journal.entries) {
            if (!entry.backup.empty()) {
                removeFileQuietly(inFolder(folder, entry.backup));
            }
        }
    }
    return failed;
}

std::string fileNames(const Journal& journal) {
    std::string names;
    for (const Journal::Entry& entry : journal.entries) {
        names += (names.empty() ? "" : "、") + entry.target;
    }
    return names;
}

// At most a few of the foreign parts, so that a journal of thousands cannot flood a message.
std::string foreignList(const std::vector<std::string>& foreign) {
    constexpr std::size_t kShown = 3;
    std::string text;
    for (std::size_t i = 0; i < foreign.size() && i < kShown; ++i) {
        text += (i == 0 ? "" : "、") + foreign[i];
    }
    if (foreign.size() > kShown) {
        text += "…ほか " + std::to_string(foreign.size() - kShown) + " 件";
    }
    return text;
}

// Renames a journal that is not a set's own out of the way, so that it blocks no run and
// can still be looked at; returns the warning that names it.
std::string setAside(const fs::path& folder, const fs::path& journal, const std::string& why) {
    const fs::path aside =
        inFolder(folder, std::string(kJournalName) + "." + platform::randomToken() + "." +
                             std::string(kSetAsideSuffix));
    std::error_code error;
    fs::rename(journal, aside, error);
    if (error) {
        throwAccess("フォルダ" + quoted(folder) + "の「" + std::string(kJournalName) + "」" + why +
                    "が、これを別の名前に移せないため書き込めません。「" +
                    std::string(kJournalName) + "」を削除してから、もう一度出力して下さい。" +
                    kNothing);
    }
    return "フォルダ" + quoted(folder) + "の「" + std::string(kJournalName) + "」" + why +
           "。それには従わず、" + quoted(aside.filename()) +
           "に移しました。心当たりがなければ削除して下さい。";
}

} // namespace

void AtomicFileSet::add(fs::path target, std::string bytes) {
    m_entries.push_back({std::move(target), std::move(bytes)});
}

std::vector<std::string> AtomicFileSet::recover(const fs::path& folder,
                                                const RecoveryScope& scope) {
    const fs::path journalPath = inFolder(folder, kJournalName);
    const std::string shownJournal =
        "フォルダ" + quoted(folder) + "の「" + std::string(kJournalName) + "」";
    std::string text;
    Journal journal;
    std::string foreign;
    switch (platform::readSmallFile(journalPath, Journal::kSizeLimit, text)) {
    case platform::SmallFileRead::Missing:
        return {};
    case platform::SmallFileRead::NotAFile:
        throwAccess(shownJournal +
                    "は出力の記録ではなく、フォルダか特殊なファイルです。これがある間は出力でき"
                    "ません。中身を確かめて「" +
                    std::string(kJournalName) +
                    "」を削除するか別の名前に変えてから、もう一度出力して下さい。" + kNothing);
    case platform::SmallFileRead::Failed:
        throwAccess(shownJournal + "（前回中断した出力の記録）を読めないため、書き込めません。" +
                    kNothing);
    case platform::SmallFileRead::Link:
        foreign = "はリンクで、このプログラムの記録ではありません";
        break;
    case platform::SmallFileRead::TooLarge:
        foreign = "は大きすぎて、このプログラムの記録ではありません";
        break;
    case platform::SmallFileRead::Read:
        journal = Journal::parse(text, folder, scope);
        if (!journal.foreign.empty()) {
            foreign = "に、このプログラムが書いたものではない記録（" +
                      foreignList(journal.foreign) + "）がありました";
        }
        break;
    }
    const bool forward = journal.committed && !journal.rolledBack;
    const std::string problems = forward ? rollForward(folder, journal) : rollBack(folder, journal);
    if (!problems.empty()) {
        throwAccess("フォルダ" + quoted(folder) +
                    "で前回中断した出力を直せないため、書き込めません。" + problems);
    }
    std::vector<std::string> said;
    if (!journal.entries.empty()) {
        said.push_back(forward ? "前回中断した出力を完了しました（" + fileNames(journal) + "）。"
                               : "前回中断した出力を取り消し、元のファイルに戻しました（" +
                                     fileNames(journal) + "）。");
    }
    if (foreign.empty()) {
        removeFileQuietly(journalPath);
    } else {
        said.push_back(setAside(folder, journalPath, foreign));
    }
    return said;
}

void AtomicFileSet::commit(const FileOperations& operations) const {
    if (m_entries.empty()) {
        return;
    }
    {
        std::vector<RunFile> outputs;
        for (const Entry& entry : m_entries) {
            outputs.push_back({entry.target, "出力ファイル"});
        }
        checkOutputSet(outputs);
    }
    struct Slot {
        fs::path temporary;
        // Empty when there is no old file to keep.
        fs::path backup;
    };
    // The files of one folder, with the journal that lists them there.
    struct Group {
        fs::path folder;
        std::string key;
        fs::path journal;
        Journal record;
        bool created = false;
    };
    std::vector<Slot> slots;
    std::vector<Group> groups;
    // Every check comes before the first file is created.
    for (const Entry& entry : m_entries) {
        const fs::path folder = folderOf(entry.target);
        std::error_code error;
        if (!fs::is_directory(folder, error)) {
            throwAccess("フォルダ" + quoted(folder) + "が見つからないため、" +
                        quoted(entry.target) + "を書き込めません。" + kNothing);
        }
        if (platform::folderDeniesWriting(folder)) {
            throwAccess("フォルダ" + quoted(folder) + "に書き込めないため、" +
                        quoted(entry.target) + "を書き込めません。" + kNothing);
        }
        // A link at the target is replaced, never followed.
        const auto status = fs::symlink_status(entry.target, error);
        const bool exists = fs::exists(status);
        if (exists && !fs::is_regular_file(status) && !fs::is_symlink(status)) {
            throwAccess(quoted(entry.target) + "はファイルではないため書き込めません。" + kNothing);
        }
        if (fs::is_regular_file(status) && platform::isReadOnlyFile(entry.target)) {
            throwAccess(quoted(entry.target) +
                        "は読み取り専用のため書き込めません。読み取り専用を外してから、もう一度"
                        "出力して下さい。" +
                        kNothing);
        }
        const Slot slot{siblingName(entry.target, kTemporarySuffix),
                        exists ? siblingName(entry.target, kBackupSuffix) : fs::path()};
        const std::string key = pathKey(folder, true);
        auto group = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
            std::error_code ignored;
            return g.key == key || fs::equivalent(g.folder, folder, ignored);
        });
        if (group == groups.end()) {
            groups.push_back({folder, key, inFolder(folder, kJournalName), {}});
            group = groups.end() - 1;
        }
        group->record.entries.push_back(
            {fileNameOf(entry.target), fileNameOf(slot.temporary),
             slot.backup.empty() ? std::string() : fileNameOf(slot.backup)});
        slots.push_back(slot);
    }

    auto removeJournals = [&] {
        for (const Group& group : groups) {
            if (group.created) {
                removeFileQuietly(group.journal);
            }
        }
    };
    for (Group& group : groups) {
        if (!platform::createFileExclusive(group.journal, Journal::text(group.record.entries))) {
            removeJournals();
            throwAccess("フォルダ" + quoted(group.folder) +
                        "に出力の記録を作れないため（別の出力が書き込み中かもしれません）、" +
                        quoted(inFolder(group.folder, group.record.entries.front().target)) +
                        "を書き込めません。" + kNothing);
        }
        group.created = true;
    }
    // Before the first rename nothing but our own new files exists.
    auto abandon = [&](std::size_t created) {
        for (std::size_t i = 0; i < created; ++i) {
            removeFileQuietly(slots[i].temporary);
        }
        removeJournals();
    };

    for (std::size_t i = 0; i < slots.size(); ++i) {
        const Slot& slot = slots[i];
        if (!operations.createFile(slot.temporary, m_entries[i].bytes)) {
            abandon(i + 1);
            throwAccess(quoted(m_entries[i].target) + "を書き込めません（フォルダ" +
                        quoted(folderOf(m_entries[i].target)) + "に一時ファイルを作れません）。" +
                        kNothing);
        }
        if (!slot.backup.empty()) {
            std::error_code error;
            // The new file takes over the old one's permissions, as an overwrite would.
            const auto status = fs::symlink_status(m_entries[i].target, error);
            if (fs::is_regular_file(status)) {
                fs::permissions(slot.temporary, status.permissions(), error);
            }
        }
    }
    // The first folder's mark decides a run killed before the others have theirs.
    for (Group& group : groups) {
        if (!platform::appendToFile(group.journal, Journal::commitMark())) {
            abandon(slots.size());
            throwAccess(quoted(m_entries.front().target) +
                        "を書き込めません（出力の記録を書けません）。" + kNothing);
        }
        group.record.committed = true;
    }

    for (std::size_t i = 0; i < slots.size(); ++i) {
        const Slot& slot = slots[i];
        std::error_code error;
        if (!slot.backup.empty()) {
            // Moving the old file aside keeps it whole and costs no copying.
            fs::rename(m_entries[i].target, slot.backup, error);
        }
        if (!error) {
            operations.rename(slot.temporary, m_entries[i].target, error);
        }
        if (!error) {
            continue;
        }
        // Put back what was already replaced; the rest was never touched.
        std::string lost;
        for (const Group& group : groups) {
            platform::appendToFile(group.journal, Journal::rollBackMark());
            lost += rollBack(group.folder, group.record);
        }
        if (lost.empty()) {
            removeJournals();
            throwAccess(quoted(m_entries[i].target) + "を置き換えられませんでした。" + kNothing);
        }
        throwAccess(quoted(m_entries[i].target) +
                    "を置き換えられず、元に戻せなかったファイルがあります。" + lost);
    }

    // The backups go before the journals, so that a crash in between still finds them listed.
    for (const Slot& slot : slots) {
        if (!slot.backup.empty()) {
            removeFileQuietly(slot.backup);
        }
    }
    removeJournals();
}

} // namespace karumenio::transaction
