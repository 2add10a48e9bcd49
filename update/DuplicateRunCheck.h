#pragma once

/// The event the product holds while it runs.
inline constexpr char kDuplicateCheckEvent[] = "TALLYMAR_DUPLICATE_CHECK_EVENT";
/// What the user is told when the product runs.
inline constexpr char kProductRunningMessage[] =
    "Tallymar is presently running on this workstation. Please save your work and close Tallymar. Then you "
    "can run Setup again.";

/// Whether the product runs on this computer: the duplicate-check event is created and closed at
/// once, and it existed already when another process holds it. A process that died holds
/// nothing. False too when the event cannot be made (the product cannot be holding it then).
bool IsProductRunning();

/// The update's first step: when the product runs, tells the user to close it (information icon)
/// and returns false; nothing is logged. True when the update may go on.
bool PassDuplicateRunCheck();
