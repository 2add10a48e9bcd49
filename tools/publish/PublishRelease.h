#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

/// What to publish and where.
struct PublishRequest {
    std::filesystem::path releaseFolder; ///< the product files
    std::filesystem::path description;   ///< the release description
    std::filesystem::path output;        ///< the folder the file server serves
    /// Private key files (PEM) whose signatures of the manifest go into CurrentVersion.xml.sig,
    /// one line each, in this order; none: the release is not signed.
    std::vector<std::filesystem::path> signingKeys;
};

/// What publishing did or found wrong.
struct PublishSummary {
    std::vector<std::string> errors;   ///< every fault found; nothing was written when there is one
    std::vector<std::string> warnings; ///< what was published anyway, such as files nobody listed
    std::vector<std::string> files;    ///< one line per entry of the manifest, in its order
    std::size_t servedFiles = 0;       ///< files under CurrentVersion/
    std::size_t compressed = 0;        ///< of them sent as zlib streams
    std::uint64_t servedBytes = 0;     ///< the output's size, manifest included
    std::vector<std::string> signedBy; ///< the public key of each signature, as 64 hexadecimal digits
};

/// Turns a release folder and its description into what the file server serves: the output
/// folder then holds CurrentVersion.xml and CurrentVersion/<server name> for every file that is
/// not obsolete, and CurrentVersion.xml.sig when signing keys are given. The new output is built beside the
/// old one and takes its place in one rename; on any error (the description's, a missing or unreadable file,
/// a module without a version, an output folder holding files of its own, a signing key that cannot be used)
/// the old output stays as it was and nothing is left behind. Returns true when the new output is in place.
bool PublishRelease(const PublishRequest& request, PublishSummary& summary);
