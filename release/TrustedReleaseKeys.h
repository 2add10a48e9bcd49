#pragma once

#include "crypto/Ed25519.h"

#include <optional>
#include <string>
#include <vector>

class CSetupSheet;

/// The REG_MULTI_SZ value of the machine-wide settings key (HKEY_LOCAL_MACHINE
/// "Software\Fenmore Software\Tallymar\Settings") in which an administrator lists release keys to
/// trust, one public key (64 hexadecimal digits) per string. Only the machine-wide key counts: the
/// per-user key is the user's to change.
inline constexpr char kTrustedReleaseKeysValue[] = "TrustedReleaseKeys";

/// The release keys whose signature of the manifest this computer accepts.
struct TrustedReleaseKeys {
    std::vector<Ed25519PublicKey> keys; ///< each once, the built-in ones first
    /// A key was named, usable or not: the manifest must then be signed by one of keys. A list
    /// that holds only mistakes requires a signature that nothing can give, so a typing error
    /// never turns the check off.
    bool required = false;
};

/// The keys built into the program (TL_RELEASE_PUBLIC_KEYS) and those of kTrustedReleaseKeysValue.
/// Each one that cannot be used is logged ("**** Ignoring trusted release key ...: <why>") and
/// left out; so is a value of another type, or a registry that cannot be read (which then
/// requires a signature). Never fails.
TrustedReleaseKeys LoadTrustedReleaseKeys(CSetupSheet& sheet);

/// Replaces the keys built in, for tests (nullopt returns to those of the build); part of the run
/// state, so a fresh run state has the build's.
void SetBuiltInReleaseKeysForTesting(std::optional<std::vector<std::string>> keys);
