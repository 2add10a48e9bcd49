#pragma once
// A lookup that hands out the wizard's pictures: a header of ours that includes Qt.
#include "resources/ResourceBundle.h"
#include "resources/StringTable.h"
