#include "update/DuplicateRunCheck.h"

#include "app/UserInterface.h"
#include "platform/NamedEvent.h"
#include "platform/WinTypes.h"

bool IsProductRunning() {
    tl::NamedEvent event;
    return event.Create(kDuplicateCheckEvent, tl::EventReset::Automatic) && event.AlreadyExisted();
}

bool PassDuplicateRunCheck() {
    if (!IsProductRunning())
        return true;
    AppMessageBox(kProductRunningMessage, win::MB_ICONINFORMATION);
    return false;
}
