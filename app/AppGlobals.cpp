#include "app/AppGlobals.h"

#include <cstdlib>

#ifndef TL_FILE_SERVER_URL
#define TL_FILE_SERVER_URL "http://www.fenmoresoftware.com/"
#endif

std::string theFileServerUrl = TL_FILE_SERVER_URL;
std::string theInstallDirectory;

void InitFileServerUrl() {
    const char* fromEnvironment = std::getenv("TALLYMAR_FILE_SERVER");
    theFileServerUrl =
        (fromEnvironment != nullptr && *fromEnvironment != '\0') ? fromEnvironment : TL_FILE_SERVER_URL;
    if (theFileServerUrl.empty() || theFileServerUrl.back() != '/')
        theFileServerUrl += '/';
}
