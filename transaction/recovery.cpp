#include "recovery.h"

#include "filenames.h"
#include "platform.h"
#include "writereport.h"

#include "accesserror.h"
#include "spreadsheet/runtimeerror.h"

#include <algorithm>

namespace karumenio::transaction {

namespace fs = std::filesystem;

namespace {

const std::string kNothing(kNothingChanged);

fs::path inFolder(const fs::path& folder, std::string_view name) {
    return folder / platform::pathFromUtf8(name);
}

// The places of one entry in its folder.
struct Places {
    fs::path target;
    fs::path temporary;
    fs::path backup;
};

Places placesOf(const fs::path& folder, const Journal& journal, const Journal::Entry& entry) {
    return {inFolder(folder, entry.target), inFolder(folder, journal.temporaryName(entry)),
            inFolder(folder, journal.backupName(entry))};
}

class Settler {
  public:
    Settler(const FileOperations& operations, Settled& settled)
        : m_operations(operations), m_settled(settled) {}

    // Renames from onto to; a failure is noted with where the content stays.
    bool move(const fs::path& from, const fs::path& to, const char* content) {
        std::error_code error;
        m_operations.rename(from, to, error);
        if (error) {
            m_settled.failed +=
                "\n" + quoted(to) + "の" + content + "は" + quoted(from) + "に残っています。";
            return false;
        }
        return true;
    }
    void remove(const fs::path& path) { m_operations.removeFile(path); }
    void leave(const fs::path& path) {
        const std::string shown = quoted(path.filename());
        if (std::find(m_settled.left.begin(), m_settled.left.end(), shown) ==
            m_settled.left.end()) {
            m_settled.left.push_back(shown);
        }
    }

    void forward(const Places& at, const Journal::Entry& entry) {
        const bool hadOld = entry.oldFile.kind != Fingerprint::Kind::Missing;
        Fingerprint target = Fingerprint::ofPath(at.target);
        const Fingerprint temporary = Fingerprint::ofPath(at.temporary);
        if (temporary.sameContent(entry.newFile)) {
            if (target.kind == Fingerprint::Kind::Missing ||
                (hadOld && target.sameContent(entry.oldFile))) {
                if (move(at.temporary, at.target, "新しい内容")) {
                    target = entry.newFile;
                }
            } else if (target.sameContent(entry.newFile)) {
                remove(at.temporary);
            } else {
                leave(at.target);
                leave(at.temporary);
            }
        } else if (temporary.kind != Fingerprint::Kind::Missing) {
            leave(at.temporary);
        }
        if (!target.sameContent(entry.newFile) && target.kind != Fingerprint::Kind::Missing) {
            leave(at.target);
        }
        if (hadOld) {
            const Fingerprint backup = Fingerprint::ofPath(at.backup);
            if (backup.sameContent(entry.oldFile) && target.sameContent(entry.newFile)) {
                remove(at.backup);
            } else if (backup.kind != Fingerprint::Kind::Missing &&
                       !backup.sameContent(entry.oldFile)) {
                leave(at.backup);
            }
        }
    }

    void back(const Places& at, const Journal::Entry& entry, bool committed) {
        const bool hadOld = entry.oldFile.kind != Fingerprint::Kind::Missing;
        // Before the commit mark no target was touched and nothing was moved aside.
        if (committed) {
            const Fingerprint target = Fingerprint::ofPath(at.target);
            if (hadOld && !target.sameContent(entry.oldFile)) {
                if (target.kind == Fingerprint::Kind::Missing ||
                    target.sameContent(entry.newFile)) {
                    if (Fingerprint::ofPath(at.backup).sameContent(entry.oldFile)) {
                        move(at.backup, at.target, "元の内容");
                    } else {
                        leave(at.target);
                    }
                } else {
                    leave(at.target);
                }
            } else if (!hadOld && target.sameContent(entry.newFile)) {
                // A file that did not exist before the set.
                remove(at.target);
            } else if (!hadOld && target.kind != Fingerprint::Kind::Missing) {
                leave(at.target);
            }
        }
        const Fingerprint temporary = Fingerprint::ofPath(at.temporary);
        if (temporary.sameContent(entry.newFile) || temporary.isEmptyFile()) {
            remove(at.temporary);
        } else if (temporary.kind != Fingerprint::Kind::Missing) {
            leave(at.temporary);
        }
        const Fingerprint backup = Fingerprint::ofPath(at.backup);
        if (backup.kind == Fingerprint::Kind::Missing) {
            return;
        }
        if (hadOld && backup.sameContent(entry.oldFile) &&
            Fingerprint::ofPath(at.target).sameContent(entry.oldFile)) {
            remove(at.backup);
        } else {
            leave(at.backup);
        }
    }

  private:
    const FileOperations& m_operations;
    Settled& m_settled;
};

std::string fileNames(const Journal& journal) {
    std::string names;
    for (const Journal::Entry& entry : journal.entries) {
        names += (names.empty() ? "" : "、") + entry.target;
    }
    return names;
}

// At most a few of a list, so that a journal of thousands cannot flood a message.
std::string shortList(const std::vector<std::string>& items) {
    constexpr std::size_t kShown = 3;
    std::string text;
    for (std::size_t i = 0; i < items.size() && i < kShown; ++i) {
        text += (i == 0 ? "" : "、") + items[i];
    }
    if (items.size() > kShown) {
        text += "…ほか " + std::to_string(items.size() - kShown) + " 件";
    }
    return text;
}

// Renames a journal that is not a set's own out of the way, so that it blocks no run and
// can still be looked at; returns the warning that names it.
std::string setAside(const fs::path& folder, const fs::path& journal, const std::string& why,
                     const FileOperations& operations) {
    const fs::path aside =
        inFolder(folder, std::string(kJournalName) + "." + platform::randomToken() + "." +
                             std::string(kSetAsideSuffix));
    std::error_code error;
    operations.rename(journal, aside, error);
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

bool sameJournal(const std::string& path, const fs::path& journal) {
    return pathKey(platform::pathFromUtf8(path)) == pathKey(journal);
}

// The journal that decides for a follower, when it is still there and names the follower as
// one of its set's.
std::optional<Journal> deciderOf(const Journal& follower, const fs::path& followerPath) {
    const fs::path path = platform::pathFromUtf8(follower.decider);
    if (!path.is_absolute() || fileNameOf(path) != kJournalName) {
        return std::nullopt;
    }
    std::string text;
    if (platform::readSmallFile(path, Journal::kSizeLimit, text) != platform::SmallFileRead::Read) {
        return std::nullopt;
    }
    std::optional<Journal> decider = Journal::parseHead(text);
    if (!decider || decider->token != follower.token || !decider->decider.empty() ||
        std::none_of(decider->followers.begin(), decider->followers.end(),
                     [&](const std::string& f) { return sameJournal(f, followerPath); })) {
        return std::nullopt;
    }
    return decider;
}

// Whether a set is to be finished: its deciding journal says so. A follower whose deciding
// journal has gone takes its own marks, read again, since the decider passes its decision on
// before it goes.
bool decidedForward(const Journal& journal, const fs::path& journalPath) {
    if (journal.decider.empty()) {
        return journal.goesForward();
    }
    if (const std::optional<Journal> decider = deciderOf(journal, journalPath)) {
        return decider->goesForward();
    }
    std::string text;
    if (platform::readSmallFile(journalPath, Journal::kSizeLimit, text) ==
        platform::SmallFileRead::Read) {
        if (const std::optional<Journal> again = Journal::parseHead(text)) {
            return again->goesForward();
        }
    }
    return journal.goesForward();
}

// Gives each follower of a deciding journal the mark of its decision, before the decider goes.
void passOnDecision(const Journal& journal, const fs::path& journalPath, bool forward,
                    const FileOperations& operations) {
    for (const std::string& follower : journal.followers) {
        const fs::path path = platform::pathFromUtf8(follower);
        if (!path.is_absolute() || fileNameOf(path) != kJournalName) {
            continue;
        }
        bool wanted = false;
        const bool written = operations.appendFile(path, [&](std::string_view text) {
            const std::optional<Journal> head = Journal::parseHead(text);
            if (!head || head->token != journal.token || !sameJournal(head->decider, journalPath)) {
                return std::string();
            }
            std::string mark;
            if (forward && !head->committed) {
                mark = Journal::commitMark();
            } else if (!forward && head->goesForward()) {
                mark = Journal::rollBackMark();
            }
            wanted = !mark.empty();
            return mark;
        });
        if (wanted && !written) {
            throwAccess("フォルダ" + quoted(path.parent_path()) +
                        "の出力の記録に、前回中断した出力の続きを書けないため、書き込めません。" +
                        kNothing);
        }
    }
}

} // namespace

Settled settle(const fs::path& folder, const Journal& journal, bool forward,
               const FileOperations& operations) {
    Settled settled;
    Settler settler(operations, settled);
    for (const Journal::Entry& entry : journal.entries) {
        const Places at = placesOf(folder, journal, entry);
        if (forward) {
            settler.forward(at, entry);
        } else {
            settler.back(at, entry, journal.committed);
        }
    }
    return settled;
}

std::vector<std::string> recoverFolder(const fs::path& folder, const RecoveryScope& scope,
                                       const FileOperations& operations) {
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
            foreign = "に、このプログラムが書いたものではない記録（" + shortList(journal.foreign) +
                      "）がありました";
        }
        break;
    }
    const bool forward = !journal.token.empty() && decidedForward(journal, journalPath);
    const Settled settled = settle(folder, journal, forward, operations);
    if (!settled.failed.empty()) {
        throwAccess("フォルダ" + quoted(folder) +
                    "で前回中断した出力を直せないため、書き込めません。" + settled.failed);
    }
    if (!journal.token.empty() && journal.decider.empty()) {
        passOnDecision(journal, journalPath, forward, operations);
    }
    std::vector<std::string> said;
    if (!journal.entries.empty()) {
        said.push_back(forward ? "前回中断した出力を完了しました（" + fileNames(journal) + "）。"
                               : "前回中断した出力を取り消し、元のファイルに戻しました（" +
                                     fileNames(journal) + "）。");
    }
    if (!settled.left.empty()) {
        said.push_back("フォルダ" + quoted(folder) + "の" + shortList(settled.left) +
                       "は、前回中断した出力の記録と内容が一致せず、このプログラムが書いたものと"
                       "確かめられないため、そのままにしました。");
    }
    if (foreign.empty()) {
        operations.removeFile(journalPath);
    } else {
        said.push_back(setAside(folder, journalPath, foreign, operations));
    }
    return said;
}

} // namespace karumenio::transaction
