#include "foldersession.h"

#include "atomicfileset.h"
#include "filenames.h"

#include "accesserror.h"
#include "spreadsheet/runtimeerror.h"

#include <algorithm>
#include <thread>

namespace karumenio::transaction {

namespace fs = std::filesystem;

namespace {

// The folders that exist, each once, in the order of their keys.
std::vector<fs::path> distinctFolders(const std::vector<fs::path>& folders) {
    std::vector<std::pair<std::string, fs::path>> keyed;
    for (const fs::path& folder : folders) {
        const fs::path where = folder.empty() ? fs::path(".") : folder;
        std::error_code error;
        if (!fs::is_directory(where, error)) {
            continue;
        }
        const std::string key = pathKey(where, true);
        // Elsewhere than on Windows, folders whose names differ in case alone are two.
        const bool known = std::any_of(keyed.begin(), keyed.end(), [&](const auto& other) {
            std::error_code ignored;
            return (platform::kIsWindows && other.first == key) ||
                   fs::equivalent(other.second, where, ignored);
        });
        if (!known) {
            keyed.emplace_back(key, where);
        }
    }
    // The same order in every process, so that two runs into the same folders cannot hold one
    // each: by the folded key, then by the path itself.
    const auto exact = [](const fs::path& folder) {
        std::error_code error;
        return fs::weakly_canonical(folder, error).generic_string();
    };
    std::sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : exact(a.second) < exact(b.second);
    });
    std::vector<fs::path> result;
    for (auto& [key, folder] : keyed) {
        result.push_back(std::move(folder));
    }
    return result;
}

platform::LockHandle lockFolder(const fs::path& folder, const FileOperations& operations) {
    const std::string shown = "フォルダ「" + platform::displayPath(folder) + "」";
    const auto deadline = std::chrono::steady_clock::now() + operations.lockWait;
    for (;;) {
        platform::LockHandle lock = platform::kNoLock;
        const platform::LockAttempt attempt = platform::tryLockFolder(folder, lock);
        if (attempt == platform::LockAttempt::Locked) {
            return lock;
        }
        if (attempt == platform::LockAttempt::Failed) {
            throwAccess(shown + "を書き込みのために確保できません。" +
                        std::string(kNothingChanged));
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            throwAccess(
                shown +
                "には別の出力が書き込み中です。しばらく待ってから、もう一度出力して下さい。" +
                std::string(kNothingChanged));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

} // namespace

FolderSession::FolderSession(const fs::path& folder, const RecoveryScope& scope,
                             const FileOperations& operations)
    : FolderSession(std::vector<fs::path>{folder}, scope, operations) {}

FolderSession::FolderSession(const std::vector<fs::path>& folders, const RecoveryScope& scope,
                             const FileOperations& operations) {
    try {
        const std::vector<fs::path> distinct = distinctFolders(folders);
        for (const fs::path& folder : distinct) {
            m_locks.push_back(lockFolder(folder, operations));
        }
        for (const fs::path& folder : distinct) {
            for (std::string& line : AtomicFileSet::recover(folder, scope, operations)) {
                m_recovered.push_back(std::move(line));
            }
        }
    } catch (const spreadsheet::RunTimeError& e) {
        release();
        if (m_recovered.empty()) {
            throw;
        }
        // A second folder that cannot be put right must not hide what the first one had done.
        std::string message = e.what();
        for (const std::string& line : m_recovered) {
            message += "\n" + line;
        }
        throw spreadsheet::RunTimeError(e.error(), message, e.cell());
    } catch (...) {
        release();
        throw;
    }
}

FolderSession::~FolderSession() {
    release();
}

void FolderSession::release() {
    for (const platform::LockHandle lock : m_locks) {
        platform::unlockFolder(lock);
    }
    m_locks.clear();
}

WriteReport FolderSession::run(const std::function<WriteReport()>& write) const {
    WriteReport report;
    try {
        report = write();
    } catch (const spreadsheet::RunTimeError& e) {
        if (m_recovered.empty()) {
            throw;
        }
        std::string message = e.what();
        // This run changed nothing, but the recovery before it did.
        if (const std::size_t at = message.find(kNothingChanged); at != std::string::npos) {
            message.replace(at, kNothingChanged.size(), "この出力では何も書き込んでいません。");
        }
        message += "\nただし、書き込む前に次のことをしました:";
        for (const std::string& line : m_recovered) {
            message += "\n" + line;
        }
        throw spreadsheet::RunTimeError(e.error(), message, e.cell());
    }
    report.warnings.insert(report.warnings.begin(), m_recovered.begin(), m_recovered.end());
    return report;
}

} // namespace karumenio::transaction
