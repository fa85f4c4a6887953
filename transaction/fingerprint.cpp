#include "fingerprint.h"

#include "platform.h"
#include "sha256.h"

namespace karumenio::transaction {

bool Fingerprint::sameContent(const Fingerprint& other) const {
    return (kind == Kind::File || kind == Kind::Link) && kind == other.kind && size == other.size &&
           hash == other.hash;
}

Fingerprint Fingerprint::ofBytes(std::string_view bytes) {
    return {Kind::File, bytes.size(), Sha256::hexDigestOf(bytes)};
}

Fingerprint Fingerprint::ofPath(const std::filesystem::path& path) {
    Sha256 hash;
    std::uint64_t size = 0;
    switch (platform::readFileInPieces(path, [&](std::string_view piece) {
        hash.update(piece);
        size += piece.size();
    })) {
    case platform::SmallFileRead::Read:
        return {Kind::File, size, hash.hexDigest()};
    case platform::SmallFileRead::Missing:
        return {};
    case platform::SmallFileRead::Link: {
        std::error_code error;
        const std::string text = platform::displayPath(std::filesystem::read_symlink(path, error));
        if (!error) {
            Fingerprint link = ofBytes(text);
            link.kind = Kind::Link;
            return link;
        }
        return {Kind::Other, 0, {}};
    }
    default:
        return {Kind::Other, 0, {}};
    }
}

} // namespace karumenio::transaction
