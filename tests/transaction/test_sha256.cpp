// The hash the journals record: the published digests, and the same digest however the bytes
// are fed.
#include "transaction/sha256.h"

#include <gtest/gtest.h>

#include <string>

using karumenio::transaction::Sha256;

namespace {

TEST(Sha256, GivesThePublishedDigests) {
    const std::pair<std::string, const char*> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& [bytes, digest] : cases) {
        SCOPED_TRACE(bytes.size());
        EXPECT_EQ(Sha256::hexDigestOf(bytes), digest);
        // Fed in pieces that end anywhere in a block.
        for (const std::size_t piece : {1u, 55u, 63u, 64u, 65u, 1000u}) {
            Sha256 hash;
            for (std::size_t at = 0; at < bytes.size(); at += piece) {
                hash.update(std::string_view(bytes).substr(at, piece));
            }
            EXPECT_EQ(hash.hexDigest(), digest) << piece;
        }
    }
}

} // namespace
