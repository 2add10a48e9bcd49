#include "app/CSetupSheet.h"

#include "platform/Format.h"
#include "platform/TextUtil.h"

#include <cstdarg>

CSetupSheet::CSetupSheet(unsigned captionId) : isUpdate(captionId == kUpdateCaptionId), captionId_(captionId) {}

CSetupSheet::~CSetupSheet() {
    tl::WipeString(masterPassword);
    tl::WipeString(attorneyPassword);
    tl::WipeString(staffPassword);
}

void CSetupSheet::Log(const char* format, ...) {
    if (!log_.IsOpen())
        return;
    va_list args;
    va_start(args, format);
    const std::string message = tl::VFormat(format, args);
    va_end(args);
    log_.Write(message);
}

void CSetupSheet::SetChoice(int id, int value) {
    for (auto& [choiceId, choiceValue] : choices_) {
        if (choiceId == id) {
            choiceValue = value;
            return;
        }
    }
    choices_.emplace_back(id, value);
}

int CSetupSheet::GetChoice(int id) const {
    for (const auto& [choiceId, choiceValue] : choices_) {
        if (choiceId == id)
            return choiceValue;
    }
    return 0;
}
