#pragma once

#include <filesystem>
#include <string>

/// A new folder beside a target folder that is filled first and then takes the target's place in
/// one step, so that readers of the target see the old content or the new one, never a mix. Until
/// it is committed, destroying it removes it with everything in it.
class StagingFolder {
public:
    StagingFolder() = default;
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;
    ~StagingFolder();

    /// Creates ".<target name>.staging-XXXXXX" in the target's parent folder, with the permissions
    /// that mkdir would give. False with error set when it cannot.
    bool Create(const std::filesystem::path& target, std::string& error);

    const std::filesystem::path& Path() const { return path_; }

    /// Flushes the staging folder's tree, then puts it in the target's place: exchanged with an
    /// existing target in one rename (its old content is removed afterwards) or renamed to a
    /// missing one. False with error set when that fails; the target is then as it was.
    bool Commit(std::string& error);

private:
    bool Replace(std::string& error);

    std::filesystem::path target_;
    std::filesystem::path path_;
    bool committed_ = false;
};
