#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace karumenio::transaction {

// What is at a name, as a journal records it and the recovery compares it: nothing, a file of
// so many bytes with their SHA-256, a link (the size and hash of the text it points to), or
// anything else (a folder, a device), which no run writes.
struct Fingerprint {
    enum class Kind { Missing, File, Link, Other };

    Kind kind = Kind::Missing;
    std::uint64_t size = 0;
    // 64 lower-case hex digits for a file or a link; empty otherwise.
    std::string hash;

    // True when both are a file, or both a link, with the same size and hash.
    bool sameContent(const Fingerprint& other) const;
    bool isEmptyFile() const { return kind == Kind::File && size == 0; }

    static Fingerprint ofBytes(std::string_view bytes);
    // Looks at the name without following a link; a file is read through to its end.
    static Fingerprint ofPath(const std::filesystem::path& path);
};

} // namespace karumenio::transaction
