#include "atomicfileset.h"

#include "fingerprint.h"
#include "journal.h"
#include "outputset.h"
#include "platform.h"
#include "recovery.h"
#include "writereport.h"

#include "accesserror.h"
#include "spreadsheet/runtimeerror.h"

#include <algorithm>

namespace karumenio::transaction {

namespace fs = std::filesystem;

namespace {

const std::string kNothing(kNothingChanged);

fs::path folderOf(const fs::path& target) {
    return target.parent_path().empty() ? fs::path(".") : target.parent_path();
}

} // namespace

void AtomicFileSet::add(fs::path target, std::string bytes) {
    m_entries.push_back({std::move(target), std::move(bytes)});
}

std::vector<std::string> AtomicFileSet::recover(const fs::path& folder, const RecoveryScope& scope,
                                                const FileOperations& operations) {
    return recoverFolder(folder, scope, operations);
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
    // One token for the whole run: its journals name it, and every name it keeps carries it.
    const std::string token = platform::randomToken();
    struct Slot {
        fs::path temporary;
        // Empty when there is no old file to keep.
        fs::path backup;
    };
    // The files of one folder, with the journal that lists them there. The first folder's
    // journal decides for the set.
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
        Journal::Entry record{fileNameOf(entry.target), Fingerprint::ofBytes(entry.bytes), {}};
        if (exists) {
            record.oldFile = Fingerprint::ofPath(entry.target);
            if (record.oldFile.kind != Fingerprint::Kind::File &&
                record.oldFile.kind != Fingerprint::Kind::Link) {
                throwAccess(quoted(entry.target) + "を読めないため書き込めません。" + kNothing);
            }
        }
        slots.push_back({siblingName(entry.target, token, kTemporarySuffix),
                         exists ? siblingName(entry.target, token, kBackupSuffix) : fs::path()});
        const std::string key = pathKey(folder, true);
        // One journal per folder itself: elsewhere than on Windows, "Out" and "out" are two.
        auto group = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
            std::error_code ignored;
            return (platform::kIsWindows && g.key == key) ||
                   fs::equivalent(g.folder, folder, ignored);
        });
        if (group == groups.end()) {
            Group added{folder, key, folder / platform::pathFromUtf8(kJournalName), {}};
            added.record.token = token;
            groups.push_back(std::move(added));
            group = groups.end() - 1;
        }
        group->record.entries.push_back(std::move(record));
    }
    // Each journal names the others by their full paths, so that a run into any one of the
    // folders settles the whole set alike.
    const auto absolutePath = [](const fs::path& path) {
        std::error_code error;
        const fs::path absolute = fs::absolute(path, error);
        return platform::displayPath(error ? path : absolute.lexically_normal());
    };
    for (std::size_t i = 1; i < groups.size(); ++i) {
        groups[0].record.followers.push_back(absolutePath(groups[i].journal));
        groups[i].record.decider = absolutePath(groups[0].journal);
    }

    // The decider's journal goes last, so that its word stays while another one is there.
    auto removeJournals = [&] {
        for (auto group = groups.rbegin(); group != groups.rend(); ++group) {
            if (group->created) {
                operations.removeFile(group->journal);
            }
        }
    };
    for (Group& group : groups) {
        if (!operations.createFile(group.journal, group.record.text())) {
            removeJournals();
            throwAccess(
                "フォルダ" + quoted(group.folder) +
                "に出力の記録を作れないため（別の出力が書き込み中かもしれません）、" +
                quoted(group.folder / platform::pathFromUtf8(group.record.entries.front().target)) +
                "を書き込めません。" + kNothing);
        }
        group.created = true;
    }
    // Before the first rename nothing but our own new files exists.
    auto abandon = [&](std::size_t created) {
        for (std::size_t i = 0; i < created; ++i) {
            operations.removeFile(slots[i].temporary);
        }
        removeJournals();
    };
    const auto appendMark = [&](const Group& group, std::string_view mark) {
        return operations.appendFile(group.journal,
                                     [&](std::string_view) { return std::string(mark); });
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
    // The mark is only worth what the files it points at are: they are on the disk, and so
    // are their names.
    for (const Group& group : groups) {
        if (!operations.flushFolder(group.folder)) {
            abandon(slots.size());
            throwAccess("フォルダ" + quoted(group.folder) + "をディスクに書き込めないため、" +
                        quoted(m_entries.front().target) + "を書き込めません。" + kNothing);
        }
    }
    // The decider's mark decides; the others' follow it, so that a folder whose decider has
    // gone still knows.
    for (Group& group : groups) {
        if (!appendMark(group, Journal::commitMark())) {
            const bool undone =
                &group == &groups.front() || appendMark(groups.front(), Journal::rollBackMark());
            if (!undone) {
                // The set stays decided; the next run into these folders finishes it.
                throwAccess(quoted(m_entries.front().target) +
                            "を書き込めません（出力の記録を書けません）。次に出力するときに"
                            "完了します。");
            }
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
            operations.rename(m_entries[i].target, slot.backup, error);
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
            appendMark(group, Journal::rollBackMark());
        }
        for (const Group& group : groups) {
            lost += settle(group.folder, group.record, false, operations).failed;
        }
        if (lost.empty()) {
            removeJournals();
            throwAccess(quoted(m_entries[i].target) + "を置き換えられませんでした。" + kNothing);
        }
        throwAccess(quoted(m_entries[i].target) +
                    "を置き換えられず、元に戻せなかったファイルがあります。" + lost);
    }
    // The renames stand once the folders' names are on the disk. A folder that cannot be
    // flushed holds the new files all the same.
    for (const Group& group : groups) {
        operations.flushFolder(group.folder);
    }

    // The backups go before the journals, so that a crash in between still finds them listed.
    for (const Slot& slot : slots) {
        if (!slot.backup.empty()) {
            operations.removeFile(slot.backup);
        }
    }
    removeJournals();
}

} // namespace karumenio::transaction
