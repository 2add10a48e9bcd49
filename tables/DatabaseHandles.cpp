#include "tables/DatabaseHandles.h"

#include "platform/RunState.h"

namespace {

struct DatabaseRunState {
    CDatabase mainDb;
    CDatabase placesDb;
    CDatabase creditorDb;
    bool placesDbOpen = false;
    bool creditorDbOpen = false;
};

DatabaseRunState& Part() {
    return tl::RunState::Part<DatabaseRunState>();
}

} // namespace

CDatabase& theMainDb = Part().mainDb;
CDatabase& thePlacesDb = Part().placesDb;
CDatabase& theCreditorDb = Part().creditorDb;
bool& thePlacesDbOpen = Part().placesDbOpen;
bool& theCreditorDbOpen = Part().creditorDbOpen;
