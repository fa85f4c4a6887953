#include "atomicfileset.h"

#include "platform.h"

#include "numeric/conversion.h"
#include "points/runtimeerror.h"

#include <fstream>
#include <optional>
#include <sstream>

namespace karumenio::scripts {

namespace fs = std::filesystem;

namespace {

const std::string kNothingChanged = "ファイルは何も変更していません。";

constexpr std::string_view kJournalHeader = "karumenio journal 1\n";
// Written once every new file is complete: from here on the set can be finished.
constexpr std::string_view kCommitMark = "commit\n";
// Written when the run itself gives up after the first rename: the set is to be undone.
constexpr std::string_view kRollBackMark = "rollback\n";

constexpr std::size_t kTokenLength = 16;

[[noreturn]] void throwAccess(const std::string& message) {
    throw points::RunTimeError(points::RunError::PathFileAccess, message);
}

std::string quoted(const fs::path& path) {
    return "「" + platform::displayPath(path) + "」";
}

fs::path folderOf(const fs::path& target) {
    return target.parent_path().empty() ? fs::path(".") : target.parent_path();
}

std::u8string u8(std::string_view text) {
    return std::u8string(text.begin(), text.end());
}

// A name beside the target with a token of its own: "~ZAHYOU.SCR.<token>.tmp".
fs::path siblingName(const fs::path& target, std::string_view suffix) {
    return target.parent_path() / fs::path(u8"~" + target.filename().u8string() + u8"." +
                                           u8(platform::randomToken()) + u8"." + u8(suffix));
}

// Only names this class makes are touched when a journal is read back, so that a planted
// journal cannot move other files.
bool isSiblingName(const fs::path& name, const fs::path& target, std::string_view suffix) {
    if (name.parent_path() != target.parent_path()) {
        return false;
    }
    const std::u8string prefix = u8"~" + target.filename().u8string() + u8".";
    const std::u8string file = name.filename().u8string();
    return file.size() == prefix.size() + kTokenLength + 1 + suffix.size() &&
           file.starts_with(prefix) && file.ends_with(u8"." + u8(suffix));
}

bool present(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

void removeQuietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

struct JournalEntry {
    fs::path target;
    fs::path temporary;
    // Empty when there was no old file to keep.
    fs::path backup;
};

struct Journal {
    std::vector<JournalEntry> entries;
    bool committed = false;
    bool rolledBack = false;
};

// Fields are length-prefixed so that any file name survives the round trip.
void putField(std::string& out, const fs::path& path) {
    const std::u8string text = path.u8string();
    out += std::to_string(text.size());
    out += ':';
    out.append(text.begin(), text.end());
    out += '\n';
}

std::optional<fs::path> takeField(std::string_view& text) {
    const std::size_t colon = text.find(':');
    std::size_t length = 0;
    if (colon == std::string_view::npos || colon == 0 || colon > 6) {
        return std::nullopt;
    }
    const auto [end, error] = numeric::fromChars(text.data(), text.data() + colon, length);
    if (error != std::errc() || end != text.data() + colon || text.size() < colon + 2 + length ||
        text[colon + 1 + length] != '\n') {
        return std::nullopt;
    }
    fs::path path(u8(text.substr(colon + 1, length)));
    text.remove_prefix(colon + 2 + length);
    return path;
}

std::string journalText(const std::vector<JournalEntry>& entries) {
    std::string text(kJournalHeader);
    for (const JournalEntry& entry : entries) {
        putField(text, entry.target);
        putField(text, entry.temporary);
        putField(text, entry.backup);
    }
    return text;
}

Journal parseJournal(std::string_view text) {
    Journal journal;
    if (!text.starts_with(kJournalHeader)) {
        return journal;
    }
    text.remove_prefix(kJournalHeader.size());
    while (!text.empty()) {
        if (text.starts_with(kCommitMark)) {
            journal.committed = true;
            text.remove_prefix(kCommitMark.size());
            continue;
        }
        if (text.starts_with(kRollBackMark)) {
            journal.rolledBack = true;
            text.remove_prefix(kRollBackMark.size());
            continue;
        }
        auto target = takeField(text);
        auto temporary = target ? takeField(text) : std::nullopt;
        auto backup = temporary ? takeField(text) : std::nullopt;
        if (!backup) {
            // Cut off by the crash: nothing after it had been created yet.
            break;
        }
        JournalEntry entry{std::move(*target), std::move(*temporary), std::move(*backup)};
        if (isSiblingName(entry.temporary, entry.target, "tmp") &&
            (entry.backup.empty() || isSiblingName(entry.backup, entry.target, "bak"))) {
            journal.entries.push_back(std::move(entry));
        }
    }
    return journal;
}

// Puts the old files back; returns a line for each that could not be.
std::string rollBack(const Journal& journal) {
    std::string lost;
    for (const JournalEntry& entry : journal.entries) {
        // Before the commit mark no target has been touched.
        if (journal.committed) {
            if (!entry.backup.empty() && present(entry.backup)) {
                std::error_code error;
                fs::rename(entry.backup, entry.target, error);
                if (error) {
                    lost += "\n" + quoted(entry.target) + "の元の内容は" + quoted(entry.backup) +
                            "に残っています。";
                }
            } else if (entry.backup.empty() && !present(entry.temporary)) {
                // A file that did not exist before the set.
                removeQuietly(entry.target);
            }
        }
        removeQuietly(entry.temporary);
    }
    return lost;
}

// Puts the remaining new files in place; returns a line for each that could not be.
std::string rollForward(const Journal& journal) {
    std::string failed;
    for (const JournalEntry& entry : journal.entries) {
        std::error_code error;
        if (fs::is_regular_file(fs::symlink_status(entry.temporary, error))) {
            fs::rename(entry.temporary, entry.target, error);
            if (error) {
                failed += "\n" + quoted(entry.target) + "の新しい内容は" + quoted(entry.temporary) +
                          "に残っています。";
            }
        }
    }
    if (failed.empty()) {
        for (const JournalEntry& entry : journal.entries) {
            if (!entry.backup.empty()) {
                removeQuietly(entry.backup);
            }
        }
    }
    return failed;
}

std::string fileNames(const Journal& journal) {
    std::string names;
    for (const JournalEntry& entry : journal.entries) {
        names += (names.empty() ? "" : "、") + platform::displayPath(entry.target.filename());
    }
    return names;
}

} // namespace

void AtomicFileSet::add(fs::path target, std::string bytes) {
    m_entries.push_back({std::move(target), std::move(bytes)});
}

std::vector<std::string> AtomicFileSet::recover(const fs::path& folder) {
    const fs::path journalPath = folder / fs::path(u8(kJournalName));
    std::error_code error;
    const auto status = fs::symlink_status(journalPath, error);
    if (!fs::exists(status)) {
        return {};
    }
    if (!fs::is_regular_file(status)) {
        // Not ours: a journal is never a link.
        if (fs::is_symlink(status)) {
            removeQuietly(journalPath);
        }
        return {};
    }
    std::ostringstream text;
    {
        // Closed before the journal is removed: Windows cannot delete a file that is open.
        std::ifstream in(journalPath, std::ios::binary);
        text << in.rdbuf();
    }
    const Journal journal = parseJournal(text.str());
    const bool forward = journal.committed && !journal.rolledBack;
    const std::string problems = forward ? rollForward(journal) : rollBack(journal);
    if (!problems.empty()) {
        throwAccess("フォルダ" + quoted(folder) +
                    "で前回中断した出力を直せないため、書き込めません。" + problems);
    }
    fs::remove(journalPath, error);
    if (journal.entries.empty()) {
        return {};
    }
    return {forward ? "前回中断した出力を完了しました（" + fileNames(journal) + "）。"
                    : "前回中断した出力を取り消し、元のファイルに戻しました（" +
                          fileNames(journal) + "）。"};
}

void AtomicFileSet::commit(const FileOperations& operations) const {
    if (m_entries.empty()) {
        return;
    }
    // Every check comes before the first file is created.
    Journal journal;
    std::vector<fs::path> shownNames;
    for (const Entry& entry : m_entries) {
        const fs::path folder = folderOf(entry.target);
        std::error_code error;
        if (!fs::is_directory(folder, error)) {
            throwAccess("フォルダ" + quoted(folder) + "が見つからないため、" +
                        quoted(entry.target) + "を書き込めません。" + kNothingChanged);
        }
        if (platform::folderDeniesWriting(folder)) {
            throwAccess("フォルダ" + quoted(folder) + "に書き込めないため、" +
                        quoted(entry.target) + "を書き込めません。" + kNothingChanged);
        }
        // A link at the target is replaced, never followed.
        const auto status = fs::symlink_status(entry.target, error);
        const bool exists = fs::exists(status);
        if (exists && !fs::is_regular_file(status) && !fs::is_symlink(status)) {
            throwAccess(quoted(entry.target) + "はファイルではないため書き込めません。" +
                        kNothingChanged);
        }
        if (fs::is_regular_file(status) && platform::isReadOnlyFile(entry.target)) {
            throwAccess(quoted(entry.target) +
                        "は読み取り専用のため書き込めません。読み取り専用を外してから、もう一度"
                        "出力して下さい。" +
                        kNothingChanged);
        }
        // Absolute, so that a later run started elsewhere can read the journal.
        const fs::path target = fs::absolute(entry.target, error);
        journal.entries.push_back(
            {target, siblingName(target, "tmp"), exists ? siblingName(target, "bak") : fs::path()});
        shownNames.push_back(entry.target);
    }
    const std::vector<JournalEntry>& slots = journal.entries;

    const fs::path journalPath = folderOf(slots.front().target) / fs::path(u8(kJournalName));
    if (!platform::createFileExclusive(journalPath, journalText(slots))) {
        throwAccess("フォルダ" + quoted(folderOf(m_entries.front().target)) +
                    "に出力の記録を作れないため（別の出力が書き込み中かもしれません）、" +
                    quoted(m_entries.front().target) + "を書き込めません。" + kNothingChanged);
    }
    // Before the first rename nothing but our own new files exists.
    auto abandon = [&](std::size_t created) {
        for (std::size_t i = 0; i < created; ++i) {
            removeQuietly(slots[i].temporary);
        }
        removeQuietly(journalPath);
    };

    for (std::size_t i = 0; i < slots.size(); ++i) {
        const JournalEntry& slot = slots[i];
        if (!operations.createFile(slot.temporary, m_entries[i].bytes)) {
            abandon(i + 1);
            throwAccess(quoted(shownNames[i]) + "を書き込めません（フォルダ" +
                        quoted(folderOf(shownNames[i])) + "に一時ファイルを作れません）。" +
                        kNothingChanged);
        }
        if (!slot.backup.empty()) {
            std::error_code error;
            // The new file takes over the old one's permissions, as an overwrite would.
            const auto status = fs::symlink_status(slot.target, error);
            if (fs::is_regular_file(status)) {
                fs::permissions(slot.temporary, status.permissions(), error);
            }
        }
    }
    if (!platform::appendToFile(journalPath, kCommitMark)) {
        abandon(slots.size());
        throwAccess(quoted(shownNames.front()) + "を書き込めません（出力の記録を書けません）。" +
                    kNothingChanged);
    }
    journal.committed = true;

    for (std::size_t i = 0; i < slots.size(); ++i) {
        const JournalEntry& slot = slots[i];
        std::error_code error;
        if (!slot.backup.empty()) {
            // Moving the old file aside keeps it whole and costs no copying.
            fs::rename(slot.target, slot.backup, error);
        }
        if (!error) {
            operations.rename(slot.temporary, slot.target, error);
        }
        if (!error) {
            continue;
        }
        // Put back what was already replaced; the rest was never touched.
        platform::appendToFile(journalPath, kRollBackMark);
        const std::string lost = rollBack(journal);
        if (lost.empty()) {
            removeQuietly(journalPath);
            throwAccess(quoted(shownNames[i]) + "を置き換えられませんでした。" + kNothingChanged);
        }
        throwAccess(quoted(shownNames[i]) +
                    "を置き換えられず、元に戻せなかったファイルがあります。" + lost);
    }

    // The backups go before the journal, so that a crash in between still finds them listed.
    for (const JournalEntry& slot : slots) {
        if (!slot.backup.empty()) {
            removeQuietly(slot.backup);
        }
    }
    removeQuietly(journalPath);
}

} // namespace karumenio::scripts
