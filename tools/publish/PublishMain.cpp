// tlpublish: turns a release folder and its description into what the file server serves, signed
// with the vendor's release keys; makes release key pairs.
#include "tools/publish/PublishRelease.h"
#include "tools/publish/SigningKeyFiles.h"

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kPublished = 0;
constexpr int kReleaseErrors = 1;
constexpr int kUsageError = 2;

constexpr const char* kUsage =
    R"(Usage: tlpublish [--description FILE] [--sign KEY_FILE]... RELEASE_FOLDER OUTPUT_FOLDER
       tlpublish --keygen PRIVATE_KEY_FILE PUBLIC_KEY_FILE

Publishes a release: the product files in RELEASE_FOLDER, listed by the release description,
become what the file server serves at its base URL:
  OUTPUT_FOLDER/CurrentVersion.xml           the online file manifest
  OUTPUT_FOLDER/CurrentVersion/<server name> every file that is not obsolete (.mdb as .exe,
                                             .ini as .txt, .tlv as .bin), zlib-compressed
                                             where that makes it smaller
Modules get their version from their version resource or version note, support files their
date and time from their modification time (UTC). The new output replaces OUTPUT_FOLDER as a
whole in one step; on any error nothing is written and the old output stays.

With --sign, OUTPUT_FOLDER/CurrentVersion.xml.sig holds the Ed25519 signature of the manifest by
each key given, one per line; a setup program that trusts a release key accepts only a manifest
that one of them signed.

Options:
  --description FILE  the release description (default: RELEASE_FOLDER/release.ini)
  --sign KEY_FILE     signs the manifest with the private key in KEY_FILE (PEM, mode 0600);
                      may be given more than once, while keys are rolled
  --keygen PRIVATE_KEY_FILE PUBLIC_KEY_FILE
                      makes a new release key pair: the private key as PEM with mode 0600,
                      the public key as one line of 64 hexadecimal digits (what the setup
                      program is told to trust); an existing file is never replaced
  --help              shows this text

Exit status: 0 done; 1 the release has errors (each is named with its file and line) or a
key cannot be used or made; 2 the command line is wrong.
)";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "tlpublish: %s\nTry tlpublish --help.\n", message.c_str());
    return kUsageError;
}

int Publish(const PublishRequest& request) {
    PublishSummary summary;
    const bool published = PublishRelease(request, summary);
    for (const std::string& warning : summary.warnings)
        std::fprintf(stderr, "tlpublish: warning: %s\n", warning.c_str());
    if (!published) {
        for (const std::string& error : summary.errors)
            std::fprintf(stderr, "tlpublish: %s\n", error.c_str());
        std::fprintf(stderr, "tlpublish: nothing was written\n");
        return kReleaseErrors;
    }
    for (const std::string& line : summary.files)
        std::printf("  %s\n", line.c_str());
    for (const std::string& key : summary.signedBy)
        std::printf("tlpublish: signed the manifest with the release key %s\n", key.c_str());
    std::printf("tlpublish: published %zu entries, %zu files (%zu compressed), %llu bytes, into %s\n",
                summary.files.size(), summary.servedFiles, summary.compressed,
                static_cast<unsigned long long>(summary.servedBytes), request.output.c_str());
    return kPublished;
}

int MakeKeys(const std::filesystem::path& privateFile, const std::filesystem::path& publicFile) {
    Ed25519PublicKey publicKey{};
    std::string error;
    if (!MakeKeyPair(privateFile, publicFile, publicKey, error)) {
        std::fprintf(stderr, "tlpublish: %s\ntlpublish: no key was made\n", error.c_str());
        return kReleaseErrors;
    }
    std::printf("tlpublish: made an Ed25519 release key pair\n"
                "  private key: %s (keep it secret; it signs releases)\n"
                "  public key:  %s\n  %s\n",
                privateFile.c_str(), publicFile.c_str(), Ed25519KeyText(publicKey).c_str());
    return kPublished;
}

} // namespace

int main(int argc, char** argv) {
    PublishRequest request;
    std::vector<std::string_view> folders;
    std::vector<std::string_view> keygen;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return kPublished;
        }
        if (argument == "--keygen") {
            if (argc - i < 3)
                return UsageError("--keygen needs the private and the public key file");
            keygen = {argv[i + 1], argv[i + 2]};
            i += 2;
        } else if (argument == "--sign") {
            if (++i == argc)
                return UsageError("--sign needs a private key file");
            request.signingKeys.emplace_back(argv[i]);
        } else if (argument.starts_with("--sign=")) {
            request.signingKeys.emplace_back(argument.substr(std::string_view("--sign=").size()));
        } else if (argument == "--description") {
            if (++i == argc)
                return UsageError("--description needs a file");
            request.description = argv[i];
        } else if (argument.starts_with("--description=")) {
            request.description = argument.substr(std::string_view("--description=").size());
        } else if (argument.starts_with("-") && argument.size() > 1) {
            return UsageError("unknown option " + std::string(argument));
        } else {
            folders.push_back(argument);
        }
    }
    if (!keygen.empty()) {
        if (!folders.empty() || !request.signingKeys.empty() || !request.description.empty())
            return UsageError("--keygen takes the two key files and nothing else");
        if (keygen[0].empty() || keygen[1].empty())
            return UsageError("a key file name is empty");
        try {
            return MakeKeys(keygen[0], keygen[1]);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "tlpublish: %s\ntlpublish: no key was made\n", e.what());
            return kReleaseErrors;
        }
    }
    if (folders.size() != 2)
        return UsageError("give the release folder and the output folder");
    if (folders[0].empty() || folders[1].empty())
        return UsageError("a folder name is empty");
    request.releaseFolder = folders[0];
    request.output = folders[1];
    if (request.description.empty())
        request.description = request.releaseFolder / "release.ini";
    try {
        return Publish(request);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tlpublish: %s\ntlpublish: nothing was written\n", e.what());
        return kReleaseErrors;
    }
}
