// A page: Qt, the sequences below it and the support of the test folders are all allowed here.
#include "wizard/CSetupPage.h"

#include "install/InstallType.h"
#include "resources/ResourceBundle.h"
#include "update/UpdateList.h"

#include <QWidget>
#include <gtest/gtest.h>
