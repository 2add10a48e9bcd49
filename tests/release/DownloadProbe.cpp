// Downloads one product file in a process of its own, for the test of the download's memory.
// Usage: tl_download_probe <machine prefix> <file server URL> <name>
// Prints "before <KB> after <KB>": the peak resident memory (getrusage) of the downloading process
// just before the download and after it. Exit status 0 when the file was installed; the messages
// go to standard error.
//
// The download runs in a child that the probe forks: Linux carries the peak of a process over an
// exec, and a child of posix_spawn shares its parent's memory until then, so the probe itself
// starts with the peak of the test that started it. A forked child counts afresh from the pages
// it has.
#include "app/AppGlobals.h"
#include "app/CSetupSheet.h"
#include "app/ScriptedUserInterface.h"
#include "platform/Machine.h"
#include "release/DownloadFile.h"
#include "release/FetchUrl.h"

#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

long PeakResidentKb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int Download(char** argv) {
    const CurlGlobalScope curl;
    const tl::ScopedMachine machine(std::make_unique<tl::Machine>(argv[1]));
    ScopedScriptedUserInterface ui;
    theFileServerUrl = argv[2];
    CSetupSheet sheet(CSetupSheet::kUpdateCaptionId);
    sheet.installDirectory = "C:\\Tallymar";

    const long before = PeakResidentKb();
    const bool installed = DownloadFile(sheet, argv[3], FolderInstall, -1);
    const long after = PeakResidentKb();
    std::printf("before %ld after %ld\n", before, after);
    for (const std::string& text : ui.MessageTexts())
        std::fprintf(stderr, "%s\n", text.c_str());
    return installed ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child < 0)
        return 3;
    if (child == 0) {
        const int status = Download(argv);
        std::fflush(stdout);
        std::fflush(stderr);
        ::_exit(status);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return 3;
    return WEXITSTATUS(status);
}
