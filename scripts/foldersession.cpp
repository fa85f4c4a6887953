#include "foldersession.h"

#include "atomicfileset.h"

#include "points/runtimeerror.h"

#include <thread>

namespace karumenio::scripts {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void throwAccess(const std::string& message) {
    throw points::RunTimeError(points::RunError::PathFileAccess, message);
}

} // namespace

FolderSession::FolderSession(const fs::path& folder, const FileOperations& operations) {
    const fs::path where = folder.empty() ? fs::path(".") : folder;
    std::error_code error;
    if (!fs::is_directory(where, error)) {
        return;
    }
    const std::string shown = "フォルダ「" + platform::displayPath(where) + "」";
    const auto deadline = std::chrono::steady_clock::now() + operations.lockWait;
    for (;;) {
        const platform::LockAttempt attempt = platform::tryLockFolder(where, m_lock);
        if (attempt == platform::LockAttempt::Locked) {
            break;
        }
        if (attempt == platform::LockAttempt::Failed) {
            throwAccess(shown +
                        "を書き込みのために確保できません。ファイルは何も変更していません。");
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            throwAccess(shown +
                        "には別の出力が書き込み中です。しばらく待ってから、もう一度出力して下さい。"
                        "ファイルは何も変更していません。");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    try {
        m_recovered = AtomicFileSet::recover(where);
    } catch (...) {
        platform::unlockFolder(m_lock);
        throw;
    }
}

FolderSession::~FolderSession() {
    platform::unlockFolder(m_lock);
}

WriteReport FolderSession::run(const std::function<WriteReport()>& write) const {
    WriteReport report;
    try {
        report = write();
    } catch (const points::RunTimeError& e) {
        if (m_recovered.empty()) {
            throw;
        }
        std::string message = e.what();
        for (const std::string& line : m_recovered) {
            message += "\n" + line;
        }
        throw points::RunTimeError(e.error(), message, e.cell());
    }
    report.warnings.insert(report.warnings.begin(), m_recovered.begin(), m_recovered.end());
    return report;
}

} // namespace karumenio::scripts
