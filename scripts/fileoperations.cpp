#include "fileoperations.h"

#include <fstream>

namespace karumenio::scripts {

FileOperations FileOperations::system() {
    FileOperations operations;
    operations.createFile = [](const std::filesystem::path& path, std::string_view bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        return !out.fail();
    };
    operations.rename = [](const std::filesystem::path& from, const std::filesystem::path& to,
                           std::error_code& error) { std::filesystem::rename(from, to, error); };
    return operations;
}

} // namespace karumenio::scripts
