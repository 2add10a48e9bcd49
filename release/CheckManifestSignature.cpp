#include "release/CheckManifestSignature.h"

#include "app/AppGlobals.h"
#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "crypto/Ed25519.h"
#include "platform/WinTypes.h"
#include "release/FetchUrl.h"
#include "release/TrustedReleaseKeys.h"

#include <string>
#include <vector>

namespace {

std::vector<Ed25519Signature> SignaturesIn(std::string_view text) {
    std::vector<Ed25519Signature> signatures;
    std::string ignored;
    for (std::size_t at = 0; at < text.size() && signatures.size() < kMostManifestSignatures;) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        if (const auto signature = ParseEd25519Signature(text.substr(at, end - at), ignored))
            signatures.push_back(*signature);
        at = end + 1;
    }
    return signatures;
}

bool Refuse(CSetupSheet& sheet) {
    sheet.Log("**** The file server's manifest is not signed by a trusted key");
    AppMessageBox("The file server's manifest is not signed by a trusted key. Setup cannot continue.",
                  win::MB_OK | win::MB_ICONERROR);
    return false;
}

} // namespace

bool CheckManifestSignature(CSetupSheet& sheet, std::string_view manifest) {
    const TrustedReleaseKeys trusted = LoadTrustedReleaseKeys(sheet);
    if (!trusted.required) {
        sheet.Log("Manifest signature not checked: no trusted release key");
        return true;
    }
    const std::string url = theFileServerUrl + kManifestSignatureName;
    std::string text;
    if (!FetchUrlToString(url, text, [&sheet](const std::string& line) { sheet.Log("%s", line.c_str()); })) {
        sheet.Log("**** Error fetching manifest signature %s", url.c_str());
        return Refuse(sheet);
    }
    const std::vector<Ed25519Signature> signatures = SignaturesIn(text);
    if (signatures.empty()) {
        sheet.Log("**** No Ed25519 signature in %s", url.c_str());
        return Refuse(sheet);
    }
    std::string mismatch;
    for (const Ed25519PublicKey& key : trusted.keys) {
        for (const Ed25519Signature& signature : signatures) {
            if (VerifyEd25519(key, manifest, signature, mismatch)) {
                sheet.Log("Manifest signed by trusted release key %s", Ed25519KeyText(key).c_str());
                return true;
            }
        }
    }
    sheet.Log("**** No signature in %s is by a trusted release key (%zu trusted, %zu signatures)",
              url.c_str(), trusted.keys.size(), signatures.size());
    return Refuse(sheet);
}
