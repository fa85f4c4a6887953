#include "fileoperations.h"

#include "journal.h"
#include "platform.h"

namespace karumenio::transaction {

namespace fs = std::filesystem;

FileOperations FileOperations::system(Flushing flushing) {
    const bool flush = flushing == Flushing::ToDisk;
    FileOperations operations;
    operations.createFile = [flush](const fs::path& path, std::string_view bytes) {
        return platform::createFileExclusive(path, bytes, flush);
    };
    operations.appendFile = [flush](const fs::path& path,
                                    const std::function<std::string(std::string_view)>& what) {
        return platform::appendToFile(path, Journal::kSizeLimit, what, flush);
    };
    operations.rename = [](const fs::path& from, const fs::path& to, std::error_code& error) {
        fs::rename(from, to, error);
    };
    operations.removeFile = [](const fs::path& path) {
        std::error_code error;
        const auto status = fs::symlink_status(path, error);
        if (fs::is_regular_file(status) || fs::is_symlink(status)) {
            fs::remove(path, error);
        }
    };
    operations.flushFolder = [flush](const fs::path& folder) {
        return !flush || platform::flushFolder(folder);
    };
    return operations;
}

FileOperations FileOperations::observed(std::function<void(const fs::path&)> before) const {
    FileOperations operations = *this;
    const FileOperations real = *this;
    operations.createFile = [=](const fs::path& path, std::string_view bytes) {
        before(path);
        return real.createFile(path, bytes);
    };
    operations.appendFile = [=](const fs::path& path,
                                const std::function<std::string(std::string_view)>& what) {
        before(path);
        return real.appendFile(path, what);
    };
    operations.rename = [=](const fs::path& from, const fs::path& to, std::error_code& error) {
        before(from);
        real.rename(from, to, error);
    };
    operations.removeFile = [=](const fs::path& path) {
        before(path);
        real.removeFile(path);
    };
    operations.flushFolder = [=](const fs::path& folder) {
        before(folder);
        return real.flushFolder(folder);
    };
    return operations;
}

} // namespace karumenio::transaction
