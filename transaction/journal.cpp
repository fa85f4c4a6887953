#include "journal.h"

#include "filenames.h"

#include "spreadsheet/ascii.h"
#include "spreadsheet/messagetext.h"

#include <algorithm>

namespace karumenio::transaction {

namespace {

constexpr std::string_view kHeader = "karumenio journal 2\n";
constexpr std::string_view kCommitMark = "commit\n";
constexpr std::string_view kRollBackMark = "rollback\n";
// A field's length takes at most this many digits.
constexpr std::size_t kLengthDigits = 6;

enum class Field { Read, CutShort, Foreign };

// True when text is where writing stopped in the middle of whole.
bool isCutShort(std::string_view text, std::string_view whole) {
    return text.size() < whole.size() && whole.starts_with(text);
}

// Fields are length-prefixed ("12:ZAHYOU.SCR\n") so that any file name survives.
void putField(std::string& out, std::string_view name) {
    out += std::to_string(name.size());
    out += ':';
    out += name;
    out += '\n';
}

Field takeField(std::string_view& text, std::string& out) {
    std::size_t digits = 0;
    std::size_t length = 0;
    while (digits < text.size() && spreadsheet::ascii::isDigit(text[digits])) {
        length = length * 10 + static_cast<std::size_t>(text[digits] - '0');
        if (++digits > kLengthDigits) {
            return Field::Foreign;
        }
    }
    if (digits == text.size()) {
        return Field::CutShort;
    }
    if (digits == 0 || text[digits] != ':') {
        return Field::Foreign;
    }
    if (text.size() < digits + 2 + length) {
        return Field::CutShort;
    }
    if (text[digits + 1 + length] != '\n') {
        return Field::Foreign;
    }
    out.assign(text.substr(digits + 1, length));
    text.remove_prefix(digits + 2 + length);
    return Field::Read;
}

std::string shownName(std::string_view name) {
    return "「" + spreadsheet::quotedInMessage(name) + "」";
}

} // namespace

std::string Journal::text(const std::vector<Entry>& entries) {
    std::string out(kHeader);
    for (const Entry& entry : entries) {
        putField(out, entry.target);
        putField(out, entry.temporary);
        putField(out, entry.backup);
    }
    return out;
}

std::string_view Journal::commitMark() {
    return kCommitMark;
}

std::string_view Journal::rollBackMark() {
    return kRollBackMark;
}

Journal Journal::parse(std::string_view text, const std::filesystem::path& folder,
                       const RecoveryScope& scope) {
    Journal journal;
    if (!text.starts_with(kHeader)) {
        // Empty or a part of the header: the set died creating its journal, before any file.
        if (!isCutShort(text, kHeader) && !text.empty()) {
            journal.foreign.push_back("記録の形式ではない内容");
        }
        return journal;
    }
    text.remove_prefix(kHeader.size());
    std::vector<std::string> folded;
    while (!text.empty()) {
        if (text.starts_with(kCommitMark) && !journal.committed) {
            journal.committed = true;
            text.remove_prefix(kCommitMark.size());
            continue;
        }
        if (text.starts_with(kRollBackMark) && journal.committed && !journal.rolledBack) {
            journal.rolledBack = true;
            text.remove_prefix(kRollBackMark.size());
            continue;
        }
        if (isCutShort(text, kCommitMark) || isCutShort(text, kRollBackMark)) {
            break;
        }
        Entry entry;
        Field state = journal.committed ? Field::Foreign : takeField(text, entry.target);
        if (state == Field::Read) {
            state = takeField(text, entry.temporary);
        }
        if (state == Field::Read) {
            state = takeField(text, entry.backup);
        }
        if (state == Field::CutShort) {
            // Nothing after the cut had been created yet.
            break;
        }
        if (state == Field::Foreign) {
            journal.foreign.push_back("記録の形式ではない内容");
            break;
        }
        const std::string key = windowsFoldedName(entry.target);
        const bool own =
            scope.admits(folder, entry.target) &&
            isSiblingName(entry.temporary, entry.target, kTemporarySuffix) &&
            (entry.backup.empty() || isSiblingName(entry.backup, entry.target, kBackupSuffix)) &&
            std::find(folded.begin(), folded.end(), key) == folded.end();
        if (!own) {
            journal.foreign.push_back(shownName(entry.target));
            continue;
        }
        folded.push_back(key);
        journal.entries.push_back(std::move(entry));
    }
    return journal;
}

} // namespace karumenio::transaction
