#include "app/AppConstants.h"
#include "crypto/Ed25519.h"
#include "platform/Registry.h"
#include "release/CheckManifestSignature.h"
#include "release/FetchManifest.h"
#include "release/TrustedReleaseKeys.h"
#include "tests/release/UpdateTestBase.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <zlib.h>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using Lines = std::vector<std::string>;

constexpr char kManifest[] = "<CurrentVersion UpdateLevel=\"4\"><Module Name=\"Tallymar.exe\" Flags=\"2\" "
                             "Size=\"11\" Sha256=\"ab\"/></CurrentVersion>\r\n";
constexpr char kRefused[] = "**** The file server's manifest is not signed by a trusted key";
constexpr char kRefusedMessage[] =
    "The file server's manifest is not signed by a trusted key. Setup cannot continue.";

Ed25519PrivateKey KeyNumber(unsigned char n) {
    Ed25519Seed seed;
    seed.fill(n);
    return Ed25519PrivateKey::FromSeed(seed);
}

class ManifestSignature : public tltest::UpdateTestBase {
protected:
    static std::string Hex(const Ed25519PrivateKey& key) { return Ed25519KeyText(key.PublicKey()); }
    static std::string SignatureLine(const Ed25519PrivateKey& key, const std::string& manifest = kManifest) {
        return Ed25519SignatureText(key.Sign(manifest)) + "\n";
    }

    void TrustInRegistry(const std::vector<std::string>& keys) {
        win::RegKey settings;
        ASSERT_EQ(win::RegCreateKeyEx(win::HKEY_LOCAL_MACHINE, kSettingsKey, settings), 0);
        ASSERT_EQ(win::RegSetMultiString(settings, kTrustedReleaseKeysValue, keys), 0);
    }
    /// Serves the manifest with a signature file (none when it is empty) and fetches it.
    bool Fetch(const std::string& signatures, const std::string& served = kManifest) {
        server.Serve("/CurrentVersion.xml", served);
        if (!signatures.empty())
            server.Serve("/CurrentVersion.xml.sig", signatures);
        return ::FetchManifest(sheet);
    }
    std::string Fetching() const { return "Fetching manifest from " + server.BaseUrl(); }
    std::string SignatureUrl() const { return server.BaseUrl() + "CurrentVersion.xml.sig"; }

    Ed25519PrivateKey first = KeyNumber(1);
    Ed25519PrivateKey second = KeyNumber(2);
    Ed25519PrivateKey untrusted = KeyNumber(3);
};

std::string Deflate(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
             static_cast<uLong>(data.size()));
    out.resize(size);
    return out;
}

} // namespace

TEST_F(ManifestSignature, AValidSignatureOfTheBytesAsReceivedIsAcceptedAndNamesItsKey) {
    TrustInRegistry({Hex(first)});
    ASSERT_TRUE(Fetch(SignatureLine(first)));
    EXPECT_EQ(sheet.manifestObjects.front()->Modules.front()->Name, "Tallymar.exe");
    EXPECT_EQ(sheet.updateLevel, 4);
    // A compressed manifest is checked after inflation, as it is read.
    sheet.manifestObjects.clear();
    ASSERT_TRUE(Fetch(SignatureLine(first), Deflate(kManifest)));
    const std::string accepted = "Manifest signed by trusted release key " + Hex(first);
    EXPECT_THAT(LogLines(), ElementsAre(Fetching(), accepted, Fetching(), accepted));
    EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(ManifestSignature, ATamperedManifestOrSignatureIsRefusedAndNothingIsBound) {
    TrustInRegistry({Hex(first)});
    std::string tamperedManifest = kManifest;
    tamperedManifest.replace(tamperedManifest.find("Flags=\"2\""), 9, "Flags=\"3\"");
    std::string tamperedSignature = SignatureLine(first);
    tamperedSignature[40] = tamperedSignature[40] == '0' ? '1' : '0';
    const std::pair<std::string, std::string> cases[] = {{SignatureLine(first), tamperedManifest},
                                                         {tamperedSignature, kManifest}};
    for (const auto& [signatures, manifest] : cases) {
        EXPECT_FALSE(Fetch(signatures, manifest));
        EXPECT_THAT(sheet.manifestObjects, IsEmpty());
    }
    const std::string mismatch =
        "**** No signature in " + SignatureUrl() + " is by a trusted release key (1 trusted, 1 signatures)";
    EXPECT_THAT(LogLines(), ElementsAre(Fetching(), mismatch, kRefused, Fetching(), mismatch, kRefused));
    EXPECT_THAT(Messages(), ElementsAre(kRefusedMessage, kRefusedMessage));
    EXPECT_EQ(ui.Messages().back().style, win::MB_OK | win::MB_ICONERROR);
}

TEST_F(ManifestSignature, AMissingSignatureIsRefusedWhenAKeyIsTrustedAndLoggedOnceWhenNone) {
    EXPECT_TRUE(Fetch(""));
    EXPECT_THAT(LogLines(),
                ElementsAre(Fetching(), "Manifest signature not checked: no trusted release key"));
    EXPECT_EQ(server.Requests().size(), 1u) << "no signature is asked for";

    TrustInRegistry({Hex(first)});
    EXPECT_FALSE(Fetch(""));
    EXPECT_FALSE(Fetch("not a signature\n" + std::string(128, 'g') + "\n"));
    EXPECT_THAT(LogLines(),
                ElementsAre(Fetching(), "Manifest signature not checked: no trusted release key", Fetching(),
                            "**** Error fetching manifest signature " + SignatureUrl(), kRefused, Fetching(),
                            "**** No Ed25519 signature in " + SignatureUrl(), kRefused));
    EXPECT_THAT(Messages(), ElementsAre("Internal error RIF102 (404) trying to download " + SignatureUrl() +
                                            ". Please write down this message and contact technical support.",
                                        kRefusedMessage, kRefusedMessage));
}

TEST_F(ManifestSignature, KeysBuiltInAndInTheRegistryBothCountAndNoOther) {
    SetBuiltInReleaseKeysForTesting(std::vector<std::string>{Hex(first)});
    TrustInRegistry({Hex(second), Hex(first)});
    EXPECT_TRUE(Fetch(SignatureLine(second)));
    EXPECT_TRUE(Fetch(SignatureLine(first)));
    EXPECT_FALSE(Fetch(SignatureLine(untrusted)));
    // A release signed with an old and a new key passes where either is trusted.
    EXPECT_TRUE(Fetch("# keys of 2024 and 2025\n" + SignatureLine(untrusted) + SignatureLine(second)));
    EXPECT_THAT(LogLines(),
                ElementsAre(Fetching(), "Manifest signed by trusted release key " + Hex(second), Fetching(),
                            "Manifest signed by trusted release key " + Hex(first), Fetching(),
                            "**** No signature in " + SignatureUrl() +
                                " is by a trusted release key (2 trusted, 1 signatures)",
                            kRefused, Fetching(), "Manifest signed by trusted release key " + Hex(second)));
}

TEST_F(ManifestSignature, AMalformedKeyInTheRegistryIsLoggedAndIgnoredButStillAsksForASignature) {
    std::string upperCase = Hex(second);
    std::transform(upperCase.begin(), upperCase.end(), upperCase.begin(), ::toupper);
    TrustInRegistry({"not a key", "  " + upperCase + " ", ""});
    EXPECT_TRUE(Fetch(SignatureLine(second)));
    const std::string ignored =
        "**** Ignoring trusted release key \"not a key\" in the machine-wide settings: it has "
        "9 characters, not the 64 hexadecimal digits of an Ed25519 public key";
    EXPECT_THAT(LogLines(),
                ElementsAre(Fetching(), ignored, "Manifest signed by trusted release key " + Hex(second)));

    // A list of nothing but mistakes, or a value of another type, never turns the check off.
    TrustInRegistry({"not a key"});
    EXPECT_FALSE(Fetch(""));
    win::RegKey settings;
    ASSERT_EQ(win::RegCreateKeyEx(win::HKEY_LOCAL_MACHINE, kSettingsKey, settings), 0);
    ASSERT_EQ(win::RegSetDword(settings, kTrustedReleaseKeysValue, 1), 0);
    EXPECT_FALSE(Fetch(""));
    EXPECT_THAT(LogLines(), Contains("**** Ignoring TrustedReleaseKeys in the machine-wide settings: not a "
                                     "REG_MULTI_SZ value"));
    EXPECT_THAT(Messages(), Contains(kRefusedMessage));
}
