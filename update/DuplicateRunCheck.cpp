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
    AppMessageBox("Tallymar is presently running on this workstation. Please save your work and close "
                  "Tallymar. Then you can run Setup again.",
                  win::MB_ICONINFORMATION);
    return false;
}
