#include "tools/publish/SigningKeyFiles.h"

#include "platform/Format.h"
#include "platform/HostFile.h"
#include "platform/TextUtil.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A PEM Ed25519 key is 119 bytes; anything this large is not a key file.
constexpr off_t kLargestKeyFile = 64 * 1024;
constexpr mode_t kPrivateMode = 0600;

std::string Failure(const fs::path& file, const std::string& what) {
    return file.string() + ": " + what;
}

std::string ErrnoFailure(const fs::path& file, const char* doing, int error) {
    return Failure(file, tl::Format("%s: %s", doing, std::strerror(error)));
}

// A temporary file beside a key file's name, removed when the object goes (once linked, the key
// file keeps the content under its own name). Not the atomic writer's: that one replaces the
// target, and its temporary file is readable by others for a moment before it takes the target's
// mode, long enough for another user to open it and read the key written later.
class TemporaryKeyFile {
public:
    explicit TemporaryKeyFile(const fs::path& target)
        : name_((target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string()),
          fd_(::mkstemp(name_.data())) {} // mkstemp makes it with mode 0600
    TemporaryKeyFile(const TemporaryKeyFile&) = delete;
    TemporaryKeyFile& operator=(const TemporaryKeyFile&) = delete;
    ~TemporaryKeyFile() {
        if (fd_)
            ::unlink(name_.c_str());
    }

    int Fd() const { return fd_.get(); }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    tl::UniqueFd fd_;
};

bool WriteNewKeyFile(const fs::path& file, std::string_view text, mode_t mode, std::string& error) {
    TemporaryKeyFile temporary(file);
    if (temporary.Fd() < 0) {
        error = ErrnoFailure(file, "cannot be created", errno);
        return false;
    }
    struct stat info {};
    if (::fchmod(temporary.Fd(), mode) != 0 || ::fstat(temporary.Fd(), &info) != 0 ||
        (info.st_mode & 0777) != mode) {
        error = Failure(file, tl::Format("cannot be given mode %04o on this file system; nothing was written",
                                         static_cast<unsigned>(mode)));
        return false;
    }
    if (const int failure = tl::WriteAll(temporary.Fd(), text, file); failure != 0) {
        error = ErrnoFailure(file, "cannot be written", failure);
        return false;
    }
    if (::fsync(temporary.Fd()) != 0) {
        error = ErrnoFailure(file, "cannot be written", errno);
        return false;
    }
    // link, unlike rename, never replaces a file that appeared meanwhile.
    if (::link(temporary.Name().c_str(), file.c_str()) != 0) {
        error = errno == EEXIST
                    ? Failure(file, "already exists; a key file is never replaced (move it away to "
                                    "make a new key)")
                    : ErrnoFailure(file, "cannot be created", errno);
        return false;
    }
    // The new name lasts only once its folder is flushed too.
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    if (const tl::UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); folderFd)
        ::fsync(folderFd.get());
    return true;
}

bool ReadKeyText(const fs::path& file, tl::SecretString& text, std::string& error) {
    // Not blocking: a named pipe given by mistake must not hang the run.
    const tl::UniqueFd fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd) {
        error = errno == ENOENT ? Failure(file, "no such private key file")
                                : ErrnoFailure(file, "cannot be opened", errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = Failure(file, "is not a regular file");
        return false;
    }
    if ((info.st_mode & 0077) != 0) {
        error = Failure(file, tl::Format("the private key file is open to other users (mode %04o); make it "
                                         "private with: chmod 600 %s",
                                         static_cast<unsigned>(info.st_mode & 0777), file.c_str()));
        return false;
    }
    if (info.st_size > kLargestKeyFile) {
        error = Failure(file, "is too large for a private key file");
        return false;
    }
    // Read into storage of its final size, so that no copy of the key is left unwiped.
    std::string& bytes = text.str();
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t have = 0;
    while (have < bytes.size()) {
        const ssize_t got = ::read(fd.get(), bytes.data() + have, bytes.size() - have);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = ErrnoFailure(file, "cannot be read", errno);
            return false;
        }
        if (got == 0)
            break;
        have += static_cast<std::size_t>(got);
    }
    bytes.resize(have);
    return true;
}

} // namespace

std::optional<Ed25519PrivateKey> ReadSigningKey(const fs::path& file, std::string& error) {
    tl::SecretString text;
    if (!ReadKeyText(file, text, error))
        return std::nullopt;
    std::string why;
    std::optional<Ed25519PrivateKey> key = Ed25519PrivateKey::FromPem(text.str(), why);
    if (!key)
        error = Failure(file, why);
    return key;
}

bool MakeKeyPair(const fs::path& privateFile, const fs::path& publicFile, Ed25519PublicKey& publicKey,
                 std::string& error) {
    std::error_code ec;
    if (privateFile.lexically_normal() == publicFile.lexically_normal()) {
        error = "the private and the public key need two different files";
        return false;
    }
    for (const fs::path& file : {privateFile, publicFile}) {
        if (fs::exists(fs::symlink_status(file, ec))) {
            error = Failure(file,
                            "already exists; a key file is never replaced (move it away to make a new key)");
            return false;
        }
    }
    const Ed25519PrivateKey key = Ed25519PrivateKey::Generate();
    publicKey = key.PublicKey();
    const tl::SecretString pem(key.ToPem());
    if (!WriteNewKeyFile(privateFile, pem.str(), kPrivateMode, error))
        return false;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (!WriteNewKeyFile(publicFile, Ed25519KeyText(publicKey) + "\n", 0644 & ~mask, error)) {
        ::unlink(privateFile.c_str());
        return false;
    }
    return true;
}
