#include "app/AppConstants.h"
#include "crypto/Ed25519.h"
#include "platform/Registry.h"
#include "release/FetchManifest.h"
#include "release/TrustedReleaseKeys.h"
#include "tests/release/UpdateTestBase.h"

#include <gmock/gmock.h>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr char kManifest[] = "<CurrentVersion UpdateLevel=\"4\"><Module Name=\"Tallymar.exe\" Flags=\"2\" "
                             "Size=\"11\" Sha256=\"ab\"/></CurrentVersion>\r\n";
constexpr char kRefused[] = "**** The file server's manifest is not signed by a trusted key";
constexpr char kRefusedMessage[] =
    "The file server's manifest is not signed by a trusted key. Setup cannot continue.";

class ManifestSignature : public tltest::UpdateTestBase {
protected:
    static Ed25519PrivateKey Key(unsigned char n) { return Ed25519PrivateKey::FromSeed(Ed25519Seed{n}); }
    static std::string Hex(unsigned char n) { return Ed25519KeyText(Key(n).PublicKey()); }
    static std::string Signed(unsigned char n, const std::string& manifest = kManifest) {
        return Ed25519SignatureText(Key(n).Sign(manifest)) + "\n";
    }
    /// Serves the manifest with a signature file (none when it is empty) and fetches it.
    bool Fetch(const std::string& signatures, const std::string& manifest = kManifest) {
        server.Serve("/CurrentVersion.xml", manifest);
        server.Serve("/CurrentVersion.xml.sig", signatures, signatures.empty() ? 404 : 200);
        return ::FetchManifest(sheet);
    }
    std::string Fetching() const { return "Fetching manifest from " + server.BaseUrl(); }
    std::string SignatureUrl() const { return server.BaseUrl() + "CurrentVersion.xml.sig"; }
    static std::string SignedBy(unsigned char n) {
        return "Manifest signed by trusted release key " + Hex(n);
    }
};

} // namespace

TEST_F(ManifestSignature, OnlyAValidSignatureOfTheBytesAsServedIsAccepted) {
    tltest::TrustReleaseKeys({Hex(1)});
    ASSERT_TRUE(Fetch(Signed(1)));
    EXPECT_EQ(sheet.manifestObjects.front()->Modules.front()->Name, "Tallymar.exe");
    sheet.manifestObjects.clear();
    std::string tamperedManifest = kManifest;
    tamperedManifest.replace(tamperedManifest.find("Flags=\"2\""), 9, "Flags=\"3\"");
    std::string tamperedSignature = Signed(1);
    tamperedSignature[40] = tamperedSignature[40] == '0' ? '1' : '0';
    EXPECT_FALSE(Fetch(Signed(1), tamperedManifest));
    EXPECT_FALSE(Fetch(tamperedSignature));
    EXPECT_THAT(sheet.manifestObjects, IsEmpty()) << "nothing of a refused manifest is bound";
    const std::string mismatch =
        "**** No signature in " + SignatureUrl() + " is by a trusted release key (1 trusted, 1 signatures)";
    EXPECT_THAT(LogLines(), ElementsAre(Fetching(), SignedBy(1), Fetching(), mismatch, kRefused, Fetching(),
                                        mismatch, kRefused));
    EXPECT_THAT(Messages(), ElementsAre(kRefusedMessage, kRefusedMessage));
    EXPECT_EQ(ui.Messages().back().style, win::MB_OK | win::MB_ICONERROR);
}

TEST_F(ManifestSignature, AMissingSignatureIsRefusedWhenAKeyIsTrustedAndLoggedOnceWhenNone) {
    EXPECT_TRUE(Fetch(""));
    EXPECT_EQ(server.Requests().size(), 1u) << "no signature is asked for";
    tltest::TrustReleaseKeys({Hex(1)});
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
    SetBuiltInReleaseKeysForTesting(std::vector<std::string>{Hex(1)});
    tltest::TrustReleaseKeys({Hex(2), Hex(1)});
    EXPECT_TRUE(Fetch(Signed(2)));
    EXPECT_TRUE(Fetch(Signed(1)));
    EXPECT_FALSE(Fetch(Signed(3)));
    // Signed with an old and a new key while keys are rolled: either one trusted will do.
    EXPECT_TRUE(Fetch("# keys of 2024 and 2025\n" + Signed(3) + Signed(2)));
    EXPECT_THAT(LogLines(), ElementsAre(Fetching(), SignedBy(2), Fetching(), SignedBy(1), Fetching(),
                                        "**** No signature in " + SignatureUrl() +
                                            " is by a trusted release key (2 trusted, 1 signatures)",
                                        kRefused, Fetching(), SignedBy(2)));
}

TEST_F(ManifestSignature, AMalformedKeyInTheRegistryIsLoggedAndIgnoredButStillAsksForASignature) {
    std::string upperCase = Hex(2);
    std::transform(upperCase.begin(), upperCase.end(), upperCase.begin(), ::toupper);
    tltest::TrustReleaseKeys({"not a key", "  " + upperCase + " ", ""});
    EXPECT_TRUE(Fetch(Signed(2)));
    EXPECT_THAT(LogLines(), ElementsAre(Fetching(),
                                        "**** Ignoring trusted release key \"not a key\" in the machine-wide "
                                        "settings: it has 9 characters, not the 64 hexadecimal digits of an "
                                        "Ed25519 public key",
                                        SignedBy(2)));
    // A list of nothing but mistakes, or a value of another type, never turns the check off.
    tltest::TrustReleaseKeys({"not a key"});
    EXPECT_FALSE(Fetch(""));
    win::RegKey settings;
    ASSERT_EQ(win::RegCreateKeyEx(win::HKEY_LOCAL_MACHINE, kSettingsKey, settings), 0);
    ASSERT_EQ(win::RegSetDword(settings, kTrustedReleaseKeysValue, 1), 0);
    EXPECT_FALSE(Fetch(""));
    EXPECT_THAT(LogLines(), Contains("**** Ignoring TrustedReleaseKeys in the machine-wide settings: not a "
                                     "REG_MULTI_SZ value"));
}
