// tlpublish: turns a release folder and its description into what the file server serves.
#include "tools/publish/PublishRelease.h"

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kPublished = 0;
constexpr int kReleaseErrors = 1;
constexpr int kUsageError = 2;

constexpr const char* kUsage = R"(Usage: tlpublish [--description FILE] RELEASE_FOLDER OUTPUT_FOLDER

Publishes a release: the product files in RELEASE_FOLDER, listed by the release description,
become what the file server serves at its base URL:
  OUTPUT_FOLDER/CurrentVersion.xml           the online file manifest
  OUTPUT_FOLDER/CurrentVersion/<server name> every file that is not obsolete (.mdb as .exe,
                                             .ini as .txt, .tlv as .bin), zlib-compressed
                                             where that makes it smaller
Modules get their version from their version resource or version note, support files their
date and time from their modification time (UTC). The new output replaces OUTPUT_FOLDER as a
whole in one step; on any error nothing is written and the old output stays.

Options:
  --description FILE  the release description (default: RELEASE_FOLDER/release.ini)
  --help              shows this text

Exit status: 0 published; 1 the release has errors (each is named with its file and line);
2 the command line is wrong.
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
    std::printf("tlpublish: published %zu entries, %zu files (%zu compressed), %llu bytes, into %s\n",
                summary.files.size(), summary.servedFiles, summary.compressed,
                static_cast<unsigned long long>(summary.servedBytes), request.output.c_str());
    return kPublished;
}

} // namespace

int main(int argc, char** argv) {
    PublishRequest request;
    std::vector<std::string_view> folders;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return kPublished;
        }
        if (argument == "--description") {
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
