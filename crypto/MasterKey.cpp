#include "crypto/MasterKey.h"

std::unique_ptr<CBlowfish> theMasterKey;
