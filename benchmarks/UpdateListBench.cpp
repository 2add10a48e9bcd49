// The update list over an installation of a generated release (about 10,000 files: programs of a
// few MB, many small support files, a tenth of them in the firm's home directory) against the
// next release's manifest, beside a bare loop that stats each of the same files and reads its
// first 4 KiB; with a warm page cache, and with a cold one (caches dropped before every run,
// which needs root).
//   tl_bench_update_list <installed release folder> <next release's CurrentVersion.xml>
// The installation is the first release's files linked into a machine prefix where the update
// looks for them, as a first installation of that release leaves them (with its file times).
#include "app/CSetupSheet.h"
#include "app/ManifestObjects.h"
#include "benchmarks/BenchRow.h"
#include "platform/Format.h"
#include "platform/HostFile.h"
#include "platform/Machine.h"
#include "platform/WindowsPath.h"
#include "release/ManifestBinding.h"
#include "release/TargetFolders.h"
#include "update/UpdateList.h"
#include "xml/XmlDocument.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void BindManifest(CSetupSheet& sheet, const std::string& text) {
    sheet.manifestObjects.clear();
    XmlDocument document(false);
    if (!document.Parse(text))
        bench::Fail("the manifest does not parse");
    document.Bind(kManifestBinding, kManifestBindingCount, &sheet.manifestObjects);
    if (sheet.manifestObjects.empty())
        bench::Fail("the manifest has no CurrentVersion");
}

// Links every file of the manifest from the release folder to where the update looks for it;
// returns the host paths in the manifest's order.
std::vector<std::string> Install(const CSetupSheet& sheet, const fs::path& release) {
    std::vector<std::string> paths;
    const auto place = [&](const std::string& name, std::int32_t flags) {
        const std::string folder = TargetFolderFor(sheet, flags);
        const fs::path host = *tl::MapToHostPath(folder.substr(0, folder.size() - 1)) / name;
        fs::create_directories(host.parent_path());
        fs::create_hard_link(release / name, host);
        paths.push_back(host.string());
    };
    const XCurrentVersion& manifest = *sheet.manifestObjects.front();
    for (const auto& module : manifest.Modules)
        place(module->Name, module->Flags);
    for (const auto& file : manifest.SupportFiles)
        place(file->Name, file->Flags);
    return paths;
}

// What a bare loop can learn of a file at the least: its metadata and its first page.
void StatAndRead(const std::vector<std::string>& paths) {
    char buffer[4096];
    for (const std::string& path : paths) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            bench::Fail("cannot stat " + path);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::read(fd, buffer, sizeof buffer) < 0)
            bench::Fail("cannot read " + path);
        ::close(fd);
    }
}

// Empties the page cache; false (with the reason) where this process may not.
bool DropCaches(std::string& reason) {
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    if (fd < 0 || ::write(fd, "3\n", 2) != 2) {
        reason = std::string("the page cache cannot be dropped (/proc/sys/vm/drop_caches: ") +
                 std::strerror(errno) + ")";
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    ::close(fd);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        bench::Fail("usage: tl_bench_update_list <installed release folder> <CurrentVersion.xml>");
    const bench::WorkFolder work("update-list");
    const tl::ScopedMachine machine(std::make_unique<tl::Machine>(work.Path() / "prefix"));
    CSetupSheet sheet(CSetupSheet::kUpdateCaptionId);
    sheet.installDirectory = "C:\\Program Files\\Fenmore Software\\Tallymar";
    sheet.homeDirectory = "C:\\Users\\Public\\Documents\\BankruptcyCases";
    sheet.OpenLog();
    const std::optional<std::string> read = tl::ReadHostFile(argv[2]);
    if (!read)
        bench::Fail(std::string("cannot read ") + argv[2]);
    const std::string& manifest = *read;
    BindManifest(sheet, manifest);
    const std::vector<std::string> paths = Install(sheet, argv[1]);
    const double files = static_cast<double>(paths.size());

    std::size_t rows = 0;
    const auto ours = [&] {
        BindManifest(sheet, manifest);
        const double seconds = bench::TimeOf([&] { BuildUpdateList(sheet); });
        rows = theUpdateList.size();
        return files / seconds;
    };
    const auto peer = [&] { return files / bench::TimeOf([&] { StatAndRead(paths); }); };

    bench::Row warm{"update-list-warm",
                    tl::Format("update list over %zu installed files, warm cache", paths.size()), "files/s"};
    warm.ours.name = "BuildUpdateList";
    warm.peers = {{"stat + read 4 KiB per file", {}}};
    warm.targets = {{warm.peers[0].name, ">=", 0.5}};
    bench::Row cold = warm;
    cold.id = "update-list-cold";
    cold.title = tl::Format("update list over %zu installed files, cold cache", paths.size());
    ours();
    peer();
    for (int run = 0; run < bench::Runs(); ++run) {
        warm.ours.values.push_back(ours());
        warm.peers[0].values.push_back(peer());
    }
    std::string reason;
    if (std::getenv("TL_BENCH_NO_COLD") != nullptr)
        reason = "not measured (TL_BENCH_NO_COLD)";
    for (int run = 0; run < bench::Runs() && reason.empty(); ++run) {
        if (!DropCaches(reason))
            break;
        const double ourFigure = ours();
        if (!DropCaches(reason))
            break;
        cold.ours.values.push_back(ourFigure);
        cold.peers[0].values.push_back(peer());
    }
    if (!reason.empty()) {
        cold.ours.values.clear();
        cold.peers[0].values.clear();
        cold.remark = reason;
    }
    warm.remark = tl::Format("%zu files of the next release need work", rows);
    if (reason.empty())
        cold.remark = warm.remark + "; caches dropped (echo 3 > /proc/sys/vm/drop_caches) before every run";
    bench::Print(warm);
    bench::Print(cold);
    return 0;
}
