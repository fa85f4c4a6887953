#include "fileoperations.h"

#include "platform.h"

namespace karumenio::transaction {

FileOperations FileOperations::system() {
    FileOperations operations;
    operations.createFile = [](const std::filesystem::path& path, std::string_view bytes) {
        return platform::createFileExclusive(path, bytes);
    };
    operations.rename = [](const std::filesystem::path& from, const std::filesystem::path& to,
                           std::error_code& error) { std::filesystem::rename(from, to, error); };
    return operations;
}

} // namespace karumenio::transaction
