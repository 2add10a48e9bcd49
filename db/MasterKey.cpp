#include "db/MasterKey.h"

std::unique_ptr<CBlowfish> theMasterKey;
