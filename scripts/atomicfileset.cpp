#include "atomicfileset.h"

#include "platform.h"

#include "points/runtimeerror.h"

#include <charconv>
#include <random>

namespace karumenio::scripts {

namespace fs = std::filesystem;

namespace {

const std::string kNothingChanged = "ファイルは何も変更していません。";

[[noreturn]] void throwAccess(const std::string& message) {
    throw points::RunTimeError(points::RunError::PathFileAccess, message);
}

std::string quoted(const fs::path& path) {
    return "「" + platform::displayPath(path) + "」";
}

// A name beside the target that no other run picks at the same time.
fs::path siblingName(const fs::path& target, const std::string& token, const char* suffix) {
    return target.parent_path() /
           fs::path(u8"~" + target.filename().u8string() + u8"." +
                    std::u8string(token.begin(), token.end()) + u8"." +
                    std::u8string(suffix, suffix + std::char_traits<char>::length(suffix)));
}

std::string randomToken() {
    std::random_device device;
    std::uniform_int_distribution<unsigned long long> distribution;
    char buffer[16];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, distribution(device), 16).ptr;
    // Sixteen hex digits whatever the value, so that every token has the same length.
    std::string token(sizeof buffer - static_cast<std::size_t>(end - buffer), '0');
    token.append(buffer, end);
    return token;
}

void removeQuietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

struct Slot {
    fs::path target;
    fs::path temporary;
    fs::path backup;
    bool hadOriginal = false;
    bool temporaryWritten = false;
    bool backupWritten = false;
};

} // namespace

void AtomicFileSet::add(fs::path target, std::string bytes) {
    m_entries.push_back({std::move(target), std::move(bytes)});
}

void AtomicFileSet::commit(const FileOperations& operations) const {
    // Every check comes before the first file is created.
    std::vector<Slot> slots;
    slots.reserve(m_entries.size());
    const std::string token = randomToken();
    for (const Entry& entry : m_entries) {
        const fs::path folder =
            entry.target.parent_path().empty() ? fs::path(".") : entry.target.parent_path();
        std::error_code error;
        if (!fs::is_directory(folder, error)) {
            throwAccess("フォルダ" + quoted(folder) + "が見つからないため、" +
                        quoted(entry.target) + "を書き込めません。" + kNothingChanged);
        }
        if (platform::folderDeniesWriting(folder)) {
            throwAccess("フォルダ" + quoted(folder) + "に書き込めないため、" +
                        quoted(entry.target) + "を書き込めません。" + kNothingChanged);
        }
        const auto status = fs::status(entry.target, error);
        const bool exists = fs::exists(status);
        if (exists && !fs::is_regular_file(status)) {
            throwAccess(quoted(entry.target) + "はファイルではないため書き込めません。" +
                        kNothingChanged);
        }
        if (exists && platform::isReadOnlyFile(entry.target)) {
            throwAccess(quoted(entry.target) +
                        "は読み取り専用のため書き込めません。読み取り専用を外してから、もう一度"
                        "出力して下さい。" +
                        kNothingChanged);
        }
        Slot slot;
        slot.target = entry.target;
        slot.temporary = siblingName(entry.target, token, "tmp");
        slot.backup = siblingName(entry.target, token, "bak");
        slot.hadOriginal = exists;
        slots.push_back(std::move(slot));
    }

    // Before the first rename nothing but our own new files exists.
    auto removeNewFiles = [&slots] {
        for (const Slot& slot : slots) {
            if (slot.temporaryWritten) {
                removeQuietly(slot.temporary);
            }
            if (slot.backupWritten) {
                removeQuietly(slot.backup);
            }
        }
    };

    // New contents and backups of the old ones, beside the targets.
    for (std::size_t i = 0; i < slots.size(); ++i) {
        Slot& slot = slots[i];
        if (!operations.createFile(slot.temporary, m_entries[i].bytes)) {
            removeQuietly(slot.temporary);
            removeNewFiles();
            throwAccess(quoted(slot.target) + "を書き込めません（フォルダ" +
                        quoted(slot.target.parent_path()) + "に一時ファイルを作れません）。" +
                        kNothingChanged);
        }
        slot.temporaryWritten = true;
        if (slot.hadOriginal) {
            std::error_code error;
            // The new file takes over the old one's permissions, as an overwrite would.
            fs::permissions(slot.temporary, fs::status(slot.target, error).permissions(), error);
            // A second name for the old file keeps it whole once the new one is renamed over
            // the target, costs no copying, and leaves the target in place meanwhile. File
            // systems without hard links get a copy.
            fs::create_hard_link(slot.target, slot.backup, error);
            if (error) {
                error.clear();
                fs::copy_file(slot.target, slot.backup, fs::copy_options::overwrite_existing,
                              error);
            }
            if (error) {
                removeQuietly(slot.backup);
                removeNewFiles();
                throwAccess(quoted(slot.target) + "の控えを作れないため書き込めません。" +
                            kNothingChanged);
            }
            slot.backupWritten = true;
        }
    }

    for (std::size_t i = 0; i < slots.size(); ++i) {
        std::error_code error;
        operations.rename(slots[i].temporary, slots[i].target, error);
        if (!error) {
            continue;
        }
        // Put back what was already replaced; the rest was never touched.
        std::string lost;
        for (std::size_t j = 0; j < slots.size(); ++j) {
            Slot& slot = slots[j];
            if (j < i && slot.hadOriginal) {
                std::error_code restoreError;
                operations.rename(slot.backup, slot.target, restoreError);
                if (restoreError) {
                    lost += "\n" + quoted(slot.target) + "の元の内容は" + quoted(slot.backup) +
                            "に残っています。";
                }
            } else if (j < i) {
                removeQuietly(slot.target);
            } else {
                removeQuietly(slot.temporary);
                if (slot.backupWritten) {
                    removeQuietly(slot.backup);
                }
            }
        }
        if (lost.empty()) {
            throwAccess(quoted(slots[i].target) + "を置き換えられませんでした。" + kNothingChanged);
        }
        throwAccess(quoted(slots[i].target) +
                    "を置き換えられず、元に戻せなかったファイルがあります。" + lost);
    }

    for (const Slot& slot : slots) {
        if (slot.backupWritten) {
            removeQuietly(slot.backup);
        }
    }
}

} // namespace karumenio::scripts
