#include "journal.h"

#include "filenames.h"

#include "spreadsheet/ascii.h"
#include "spreadsheet/messagetext.h"

#include <algorithm>

namespace karumenio::transaction {

namespace {

constexpr std::string_view kHeader = "karumenio journal 3\n";
constexpr std::string_view kCommitMark = "commit\n";
constexpr std::string_view kRollBackMark = "rollback\n";
// A field's length takes at most this many digits.
constexpr std::size_t kLengthDigits = 6;
constexpr std::string_view kFileKind = "file";
constexpr std::string_view kLinkKind = "link";
constexpr std::size_t kHashLength = 64;
// More folders than a run ever writes into.
constexpr std::size_t kMostFollowers = 64;

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

// Reads the fields in order, stopping at the first that is not read.
template <typename... Out> Field takeFields(std::string_view& text, Out&... out) {
    Field state = Field::Read;
    ((state = state == Field::Read ? takeField(text, out) : state), ...);
    return state;
}

bool readCount(std::string_view text, std::uint64_t& value) {
    if (text.empty() || text.size() > 19 ||
        !std::all_of(text.begin(), text.end(), spreadsheet::ascii::isDigit)) {
        return false;
    }
    value = 0;
    for (const char c : text) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

bool isHash(std::string_view text) {
    return text.size() == kHashLength && std::all_of(text.begin(), text.end(), [](char c) {
               return spreadsheet::ascii::isDigit(c) || (c >= 'a' && c <= 'f');
           });
}

void putFingerprint(std::string& out, const Fingerprint& file) {
    putField(out, std::to_string(file.size));
    putField(out, file.hash);
}

bool readFingerprint(Fingerprint::Kind kind, std::string_view size, std::string_view hash,
                     Fingerprint& file) {
    file.kind = kind;
    file.hash.assign(hash);
    return readCount(size, file.size) && isHash(hash);
}

std::string shownName(std::string_view name) {
    return "「" + spreadsheet::quotedInMessage(name) + "」";
}

const std::string kNoJournal = "記録の形式ではない内容";

// The header, token, decider and followers; the rest of the text is left in text.
Field takeHead(std::string_view& text, Journal& journal) {
    if (!text.starts_with(kHeader)) {
        // Empty or a part of the header: the set died creating its journal, before any file.
        return isCutShort(text, kHeader) || text.empty() ? Field::CutShort : Field::Foreign;
    }
    text.remove_prefix(kHeader.size());
    std::string count;
    Field state = takeFields(text, journal.token, journal.decider, count);
    std::uint64_t followers = 0;
    if (state == Field::Read && (!isRunToken(journal.token) || !readCount(count, followers) ||
                                 followers > kMostFollowers)) {
        state = Field::Foreign;
    }
    for (std::uint64_t i = 0; state == Field::Read && i < followers; ++i) {
        state = takeField(text, journal.followers.emplace_back());
    }
    return state;
}

// Reads the marks at the start of text; false when text holds something else there.
bool takeMark(std::string_view& text, Journal& journal) {
    if (text.starts_with(kCommitMark) && !journal.committed) {
        journal.committed = true;
        text.remove_prefix(kCommitMark.size());
        return true;
    }
    if (text.starts_with(kRollBackMark) && journal.committed && !journal.rolledBack) {
        journal.rolledBack = true;
        text.remove_prefix(kRollBackMark.size());
        return true;
    }
    return false;
}

} // namespace

std::string Journal::text() const {
    std::string out(kHeader);
    putField(out, token);
    putField(out, decider);
    putField(out, std::to_string(followers.size()));
    for (const std::string& follower : followers) {
        putField(out, follower);
    }
    for (const Entry& entry : entries) {
        putField(out, entry.target);
        putFingerprint(out, entry.newFile);
        switch (entry.oldFile.kind) {
        case Fingerprint::Kind::File:
            putField(out, kFileKind);
            putFingerprint(out, entry.oldFile);
            break;
        case Fingerprint::Kind::Link:
            putField(out, kLinkKind);
            putFingerprint(out, entry.oldFile);
            break;
        default:
            putField(out, "");
            putField(out, "");
            putField(out, "");
            break;
        }
    }
    return out;
}

std::string_view Journal::commitMark() {
    return kCommitMark;
}

std::string_view Journal::rollBackMark() {
    return kRollBackMark;
}

std::string Journal::temporaryName(const Entry& entry) const {
    return "~" + entry.target + "." + token + "." + std::string(kTemporarySuffix);
}

std::string Journal::backupName(const Entry& entry) const {
    return "~" + entry.target + "." + token + "." + std::string(kBackupSuffix);
}

std::optional<Journal> Journal::parseHead(std::string_view text) {
    // A scope that admits no name reads every entry as foreign, and the marks after them.
    Journal journal = parse(text, {}, RecoveryScope{});
    if (journal.token.empty() || std::find(journal.foreign.begin(), journal.foreign.end(),
                                           kNoJournal) != journal.foreign.end()) {
        return std::nullopt;
    }
    journal.foreign.clear();
    return journal;
}

Journal Journal::parse(std::string_view text, const std::filesystem::path& folder,
                       const RecoveryScope& scope) {
    Journal journal;
    const Field head = takeHead(text, journal);
    if (head != Field::Read) {
        if (head == Field::Foreign) {
            journal.foreign.push_back(kNoJournal);
        }
        // Cut short: nothing of the set had been created yet.
        journal.token.clear();
        journal.followers.clear();
        return journal;
    }
    std::vector<std::string> folded;
    while (!text.empty()) {
        if (takeMark(text, journal)) {
            continue;
        }
        if (isCutShort(text, kCommitMark) || isCutShort(text, kRollBackMark)) {
            break;
        }
        Entry entry;
        std::string newSize;
        std::string newHash;
        std::string oldKind;
        std::string oldSize;
        std::string oldHash;
        Field state = journal.committed ? Field::Foreign
                                        : takeFields(text, entry.target, newSize, newHash, oldKind,
                                                     oldSize, oldHash);
        if (state == Field::CutShort) {
            // Nothing after the cut had been created yet.
            break;
        }
        if (state == Field::Read) {
            const bool hasOld = oldKind == kFileKind || oldKind == kLinkKind;
            const bool shaped =
                readFingerprint(Fingerprint::Kind::File, newSize, newHash, entry.newFile) &&
                (hasOld ? readFingerprint(oldKind == kFileKind ? Fingerprint::Kind::File
                                                               : Fingerprint::Kind::Link,
                                          oldSize, oldHash, entry.oldFile)
                        : oldKind.empty() && oldSize.empty() && oldHash.empty());
            state = shaped ? Field::Read : Field::Foreign;
        }
        if (state == Field::Foreign) {
            journal.foreign.push_back(kNoJournal);
            break;
        }
        const std::string key = windowsFoldedName(entry.target);
        const bool own = scope.admits(folder, entry.target) &&
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
