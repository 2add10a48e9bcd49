// A record class that reads the file server's address from the layer above.
#include "tables/CAttorneyRecord.h"

#include "app/AppGlobals.h"
#include "platform/Format.h"
