#pragma once

#include <cstddef>
#include <string_view>

class CSetupSheet;

/// The detached signature of the manifest, beside it on the file server: one Ed25519 signature
/// per line, 128 hexadecimal digits each, of the manifest's bytes as the program receives them
/// (after inflation, when the server sends the manifest compressed). Lines that are not signatures
/// are passed over, so that a release may carry signatures of kinds this program does not know;
/// only the first kMostManifestSignatures signatures are tried.
inline constexpr char kManifestSignatureName[] = "CurrentVersion.xml.sig";
inline constexpr std::size_t kMostManifestSignatures = 16;

/// Decides whether the manifest may be used. With no release key trusted (LoadTrustedReleaseKeys)
/// logs "Manifest signature not checked: no trusted release key" and returns true. Otherwise
/// fetches kManifestSignatureName from the file server and returns true when one of its
/// signatures is a trusted key's signature of manifest, logging which key. When none is (the
/// signature cannot be fetched, holds no signature or none that matches), logs why and "**** The
/// file server's manifest is not signed by a trusted key", shows "The file server's manifest is
/// not signed by a trusted key. Setup cannot continue." (error icon) and returns false.
bool CheckManifestSignature(CSetupSheet& sheet, std::string_view manifest);
