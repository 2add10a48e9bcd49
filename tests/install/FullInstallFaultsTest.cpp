#include "install/RunFullInstall.h"
#include "tests/install/FullInstallTestBase.h"

#include <gmock/gmock.h>
