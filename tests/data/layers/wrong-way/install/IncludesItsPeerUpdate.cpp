// The first installation reaching into the update, a sequence of the same layer.
#include "install/RunFullInstall.h"
#include "release/DownloadFile.h"
#include "update/UpdateList.h"
