#include "app/AppGlobals.h"

#include "platform/RunState.h"

#include <cstdlib>

#ifndef TL_FILE_SERVER_URL
#define TL_FILE_SERVER_URL "http://www.fenmoresoftware.com/"
#endif

namespace {

struct AppRunState {
    std::string fileServerUrl = TL_FILE_SERVER_URL;
    std::string installDirectory;
};

} // namespace

std::string& theFileServerUrl = tl::RunState::Part<AppRunState>().fileServerUrl;
std::string& theInstallDirectory = tl::RunState::Part<AppRunState>().installDirectory;

void InitFileServerUrl() {
    const char* fromEnvironment = std::getenv("TALLYMAR_FILE_SERVER");
    theFileServerUrl =
        (fromEnvironment != nullptr && *fromEnvironment != '\0') ? fromEnvironment : TL_FILE_SERVER_URL;
    if (theFileServerUrl.empty() || theFileServerUrl.back() != '/')
        theFileServerUrl += '/';
}
