#include "tables/CEventRecord.h"

std::string CEventRecord::GetDefaultSQL() const {
    return "[EventTable]";
}

void CEventRecord::DoFieldExchange(CFieldExchange& fx) {
    RFX_Long(fx, "[EventNumber]", EventNumber);
    RFX_Date(fx, "[DateTime]", DateTime);
    RFX_Text(fx, "[Place]", Place, 4096);
    RFX_Text(fx, "[Description]", Description, 4096);
    RFX_Long(fx, "[Client]", Client);
    RFX_Long(fx, "[BankruptcyCase]", BankruptcyCase);
    RFX_Long(fx, "[AdversaryCase]", AdversaryCase);
    RFX_Text(fx, "[Guid]", Guid, 255);
}
