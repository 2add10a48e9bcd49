#include "update/ReportErrorAt.h"

#include "app/UserInterface.h"
#include "platform/Format.h"

void ReportErrorAt(const std::string& message, unsigned icon, const char* source, int line) {
    AppMessageBox(tl::Format("%s[%d] - %s", source, line, message.c_str()), icon);
}
