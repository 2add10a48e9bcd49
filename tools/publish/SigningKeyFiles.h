#pragma once

#include "crypto/Ed25519.h"

#include <filesystem>
#include <optional>
#include <string>

// The files of a vendor's release key: the private key as unencrypted PKCS#8 PEM, kept private by
// its mode (0600), and the public key as one line of 64 hexadecimal digits, which is what the
// setup program is told to trust.

/// Reads the private key that signs releases. Returns nullopt with error set ("<file>: <why>")
/// when the file is missing, not a regular file, open to its group or other users (any of the
/// mode bits 0077), larger than a key file is, or not an unencrypted Ed25519 PEM private key.
std::optional<Ed25519PrivateKey> ReadSigningKey(const std::filesystem::path& file, std::string& error);

/// Makes a new key pair: privateFile created with mode 0600 and publicFile with the usual mode.
/// Neither file may exist already: a key file is never replaced. Each is written whole into a
/// temporary file first and then linked under its name, so no reader ever sees part of a key.
/// Returns false with error set when either cannot be made; neither file is then left behind.
bool MakeKeyPair(const std::filesystem::path& privateFile, const std::filesystem::path& publicFile,
                 Ed25519PublicKey& publicKey, std::string& error);
