#include "attorneys/ShowSourceError.h"

#include "app/UserInterface.h"
#include "platform/Format.h"

int ShowSourceError(const std::string& message, unsigned style, unsigned /*helpId*/, const char* source,
                    int line) {
    return AppMessageBox(tl::Format("%s[%d] - %s", source, line, message.c_str()), style);
}
