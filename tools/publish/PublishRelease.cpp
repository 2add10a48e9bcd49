#include "tools/publish/PublishRelease.h"

#include "app/ManifestObjects.h"
#include "platform/FileTime.h"
#include "platform/FileVersion.h"
#include "platform/Format.h"
#include "platform/HostFile.h"
#include "platform/LastError.h"
#include "platform/UniqueFd.h"
#include "release/DownloadFile.h"
#include "release/WriteProductFile.h"
#include "tools/publish/ManifestWriter.h"
#include "tools/publish/ReleaseDescription.h"
#include "tools/publish/ServedFile.h"
#include "tools/publish/SigningKeyFiles.h"
#include "tools/publish/StagingFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kManifestName = "CurrentVersion.xml";
constexpr const char* kSignatureName = "CurrentVersion.xml.sig";
constexpr const char* kFilesFolder = "CurrentVersion";

// An earlier output holds the manifest, the files' folder and perhaps files made from the manifest
// (a detached signature); a folder with anything else is somebody else's and is never replaced.
bool IsOutputEntry(const std::string& name) {
    return name == kManifestName || name == kFilesFolder ||
           name.starts_with(std::string(kManifestName) + ".");
}

bool Contains(const fs::path& folder, const fs::path& path) {
    const auto [end, unused] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return end == folder.end();
}

std::string FourPartVersion(const win::VS_FIXEDFILEINFO& info) {
    return tl::Format("%u.%u.%u.%u", info.dwFileVersionMS >> 16, info.dwFileVersionMS & 0xFFFF,
                      info.dwFileVersionLS >> 16, info.dwFileVersionLS & 0xFFFF);
}

class Publisher {
public:
    Publisher(const PublishRequest& request, PublishSummary& summary)
        : request_(request), summary_(summary) {}

    bool Run();

private:
    bool ReadSigningKeys();
    bool ReadDescription();
    bool CheckReleaseFolder();
    bool CheckOutput();
    bool Stage();
    bool PublishFiles();
    bool WriteManifest();
    bool SignManifest();
    bool Commit();

    bool Fail(const std::string& error) {
        summary_.errors.push_back(error);
        return false;
    }
    void EntryError(const ReleaseEntry& entry, const std::string& what) {
        summary_.errors.push_back(DescriptionError(release_.path, entry.line, entry.name + " " + what));
    }
    bool ReadFacts(const ReleaseEntry& entry, int fd, const struct stat& info, PublishedEntry& published);
    void PublishEntry(const ReleaseEntry& entry);
    void Describe(const PublishedEntry& published);

    const PublishRequest& request_;
    PublishSummary& summary_;
    ReleaseDescription release_;
    std::filesystem::path output_; ///< absolute, without a trailing separator
    StagingFolder staging_;
    std::vector<PublishedEntry> published_;
    std::map<std::string, ServedFile> servedByName_;
    std::vector<Ed25519PrivateKey> signingKeys_;
    std::string manifest_;
};

bool Publisher::Run() {
    using Step = bool (Publisher::*)();
    static constexpr Step kSteps[] = {
        &Publisher::ReadSigningKeys, &Publisher::ReadDescription, &Publisher::CheckReleaseFolder,
        &Publisher::CheckOutput,     &Publisher::Stage,           &Publisher::PublishFiles,
        &Publisher::WriteManifest,   &Publisher::SignManifest,    &Publisher::Commit};
    for (const Step step : kSteps) {
        if (!(this->*step)())
            return false;
    }
    return true;
}

bool Publisher::ReadSigningKeys() {
    for (const fs::path& file : request_.signingKeys) {
        std::string error;
        std::optional<Ed25519PrivateKey> key = ReadSigningKey(file, error);
        if (!key)
            summary_.errors.push_back(error);
        else
            signingKeys_.push_back(std::move(*key));
    }
    return summary_.errors.empty();
}

bool Publisher::ReadDescription() {
    release_ = ReadReleaseDescription(request_.description, summary_.errors);
    return summary_.errors.empty();
}

bool Publisher::CheckReleaseFolder() {
    std::error_code ec;
    if (!fs::is_directory(request_.releaseFolder, ec))
        return Fail(tl::Format("%s: the release folder does not exist or is not a folder",
                               request_.releaseFolder.c_str()));
    std::set<std::string> listed;
    for (const ReleaseEntry& entry : release_.entries)
        listed.insert(entry.name);
    std::vector<std::string> unlisted;
    for (const fs::directory_entry& file : fs::directory_iterator(request_.releaseFolder, ec)) {
        const std::string name = file.path().filename().string();
        if (file.is_regular_file(ec) && !listed.contains(name) &&
            !fs::equivalent(file.path(), request_.description, ec))
            unlisted.push_back(name);
    }
    std::sort(unlisted.begin(), unlisted.end());
    for (const std::string& name : unlisted)
        summary_.warnings.push_back(tl::Format("%s: %s is not in the description and is not published",
                                               request_.releaseFolder.c_str(), name.c_str()));
    return true;
}

bool Publisher::CheckOutput() {
    // "out/" names the folder out, whose parent gets the staging folder; "." and "/" cannot be
    // exchanged with anything.
    std::error_code ec;
    output_ = fs::absolute(request_.output, ec).lexically_normal();
    if (output_.filename().empty())
        output_ = output_.parent_path();
    const fs::path& output = output_;
    if (output.filename().empty() || output.filename() == "..")
        return Fail(tl::Format("%s: cannot be replaced as a whole; give a folder by its name",
                               request_.output.c_str()));
    const fs::file_status status = fs::symlink_status(output, ec);
    if (fs::is_symlink(status))
        return Fail(tl::Format("%s: the output folder is a symbolic link; give the folder it points to",
                               output.c_str()));
    if (fs::exists(status) && !fs::is_directory(status))
        return Fail(tl::Format("%s: the output exists and is not a folder", output.c_str()));
    const fs::path target = fs::weakly_canonical(fs::absolute(output, ec), ec);
    for (const fs::path& source : {request_.releaseFolder, request_.description}) {
        if (Contains(target, fs::weakly_canonical(fs::absolute(source, ec), ec)))
            return Fail(tl::Format(
                "%s: the output folder must not hold the release folder or its description", output.c_str()));
    }
    if (!fs::exists(status))
        return true;
    for (const fs::directory_entry& entry : fs::directory_iterator(output, ec)) {
        const std::string name = entry.path().filename().string();
        if (!IsOutputEntry(name))
            return Fail(
                tl::Format("%s: holds %s, which tlpublish did not write; the output folder is replaced "
                           "as a whole, so give an empty or new folder",
                           output.c_str(), name.c_str()));
    }
    if (ec)
        return Fail(tl::Format("%s: cannot be listed: %s", output.c_str(), ec.message().c_str()));
    return true;
}

bool Publisher::Stage() {
    std::error_code ec;
    const fs::path parent = output_.parent_path();
    if (!parent.empty())
        fs::create_directories(parent, ec);
    std::string error;
    if (!staging_.Create(output_, error))
        return Fail(error);
    const fs::path files = staging_.Path() / kFilesFolder;
    if (::mkdir(files.c_str(), 0777) != 0)
        return Fail(tl::Format("cannot create %s: %s", files.c_str(), std::strerror(errno)));
    return true;
}

bool Publisher::ReadFacts(const ReleaseEntry& entry, int fd, const struct stat& info,
                          PublishedEntry& published) {
    if (entry.IsModule()) {
        std::vector<std::uint8_t> block;
        win::VS_FIXEDFILEINFO version{};
        if (!win::GetFileVersionInfoOfDescriptor(fd, block) || !win::VerQueryValue(block, "\\", version)) {
            EntryError(entry, win::GetLastError() == win::ERROR_BAD_EXE_FORMAT
                                  ? "is a module but neither a Windows program nor a program of ours, so it "
                                    "has no version"
                                  : "is a module without a version (no version resource or version note)");
            return false;
        }
        published.version = FourPartVersion(version);
        return true;
    }
    // The setup program sets an installed support file's time to the manifest's, read as UTC.
    win::SYSTEMTIME time;
    if (!win::FileTimeToSystemTime(tl::FileTimeFromTimespec(info.st_mtim), time) || time.wYear > 2099) {
        EntryError(entry, "has a modification time that a manifest date cannot hold (years 1601 to 2099)");
        return false;
    }
    published.date = tl::Format("%2.2d/%2.2d/%4.4d", time.wMonth, time.wDay, time.wYear);
    published.time = tl::Format("%2.2d:%2.2d:%2.2d", time.wHour, time.wMinute, time.wSecond);
    return true;
}

void Publisher::PublishEntry(const ReleaseEntry& entry) {
    PublishedEntry published{&entry, {}, {}, {}, std::nullopt};
    if ((entry.flags & FlagObsolete) != 0) {
        published_.push_back(published);
        return;
    }
    const fs::path source = request_.releaseFolder / entry.name;
    // Not blocking: a named pipe put there by mistake must not hang the run.
    const tl::UniqueFd fd(::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!fd)
        return EntryError(entry, errno == ENOENT ? tl::Format("is not in the release folder %s",
                                                              request_.releaseFolder.c_str())
                                                 : tl::Format("cannot be opened: %s", std::strerror(errno)));
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return EntryError(entry, "is not a regular file");
    if (!ReadFacts(entry, fd.get(), info, published))
        return;
    // The same file listed for two folders is one file on the server.
    const std::string serverName = ServerFileName(entry.name);
    if (const auto known = servedByName_.find(serverName); known != servedByName_.end()) {
        published.file = known->second;
        published_.push_back(published);
        return;
    }
    ServedFile served;
    std::string error;
    if (!WriteServedFile(fd.get(), staging_.Path() / kFilesFolder / serverName, served, error))
        return EntryError(entry, error);
    published.file = served;
    servedByName_.emplace(serverName, served);
    ++summary_.servedFiles;
    summary_.compressed += served.compressed ? 1 : 0;
    summary_.servedBytes += served.servedSize;
    published_.push_back(published);
}

void Publisher::Describe(const PublishedEntry& published) {
    const ReleaseEntry& entry = *published.entry;
    const std::string facts = entry.IsModule() ? "module " + published.version
                                               : "support file " + published.date + " " + published.time;
    if (!published.file) {
        summary_.files.push_back(tl::Format("%s: obsolete %s, no file", entry.name.c_str(),
                                            entry.IsModule() ? "module" : "support file"));
        return;
    }
    const ServedFile& file = *published.file;
    summary_.files.push_back(tl::Format(
        "%s: %s, %llu bytes, served %s as %s/%s (%llu bytes)", entry.name.c_str(), facts.c_str(),
        static_cast<unsigned long long>(file.size), file.compressed ? "compressed" : "as is", kFilesFolder,
        ServerFileName(entry.name).c_str(), static_cast<unsigned long long>(file.servedSize)));
}

bool Publisher::PublishFiles() {
    for (const ReleaseEntry& entry : release_.entries)
        PublishEntry(entry);
    return summary_.errors.empty();
}

bool Publisher::WriteManifest() {
    // The summary follows the manifest's order: modules, then support files.
    std::stable_partition(published_.begin(), published_.end(),
                          [](const PublishedEntry& published) { return published.entry->IsModule(); });
    for (const PublishedEntry& published : published_)
        Describe(published);
    manifest_ = ManifestText(release_, published_);
    const fs::path path = staging_.Path() / kManifestName;
    if (const DWORD error = tl::WriteHostFileAtomically(path, manifest_); error != win::ERROR_SUCCESS)
        return Fail(FileErrorMessage(error, path.string()));
    summary_.servedBytes += manifest_.size();
    return true;
}

// The signatures cover the manifest's bytes exactly as written, and so as served.
bool Publisher::SignManifest() {
    if (signingKeys_.empty())
        return true;
    std::string text;
    for (const Ed25519PrivateKey& key : signingKeys_) {
        const Ed25519Signature signature = key.Sign(manifest_);
        std::string error;
        if (!VerifyEd25519(key.PublicKey(), manifest_, signature, error))
            return Fail("the signature just made does not verify: " + error);
        text += Ed25519SignatureText(signature) + "\n";
        summary_.signedBy.push_back(Ed25519KeyText(key.PublicKey()));
    }
    const fs::path path = staging_.Path() / kSignatureName;
    if (const DWORD error = tl::WriteHostFileAtomically(path, text); error != win::ERROR_SUCCESS)
        return Fail(FileErrorMessage(error, path.string()));
    summary_.servedBytes += text.size();
    return true;
}

bool Publisher::Commit() {
    std::string error;
    return staging_.Commit(error) || Fail(error);
}

} // namespace

bool PublishRelease(const PublishRequest& request, PublishSummary& summary) {
    return Publisher(request, summary).Run();
}
