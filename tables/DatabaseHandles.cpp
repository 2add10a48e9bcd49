#include "tables/DatabaseHandles.h"

CDatabase theMainDb;
CDatabase thePlacesDb;
CDatabase theCreditorDb;
bool thePlacesDbOpen = false;
bool theCreditorDbOpen = false;
