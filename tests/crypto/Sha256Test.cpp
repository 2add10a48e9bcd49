#include "crypto/Sha256.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

TEST(Sha256, PublishedVectorsFedInPieces) {
    const std::pair<std::string, const char*> vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& [message, digest] : vectors) {
        Sha256 pieces;
        for (std::size_t at = 0; at < message.size(); at += 4099)
            pieces.Update(std::string_view(message).substr(at, 4099));
        EXPECT_EQ(pieces.HexDigest(), digest) << message.size();
        EXPECT_EQ(Sha256::Of(message), digest);
    }
}
