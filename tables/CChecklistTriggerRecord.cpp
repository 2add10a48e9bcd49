#include "tables/CChecklistTriggerRecord.h"

std::string CChecklistTriggerRecord::GetDefaultSQL() const {
    return "[CheckListTriggerTable]";
}

void CChecklistTriggerRecord::DoFieldExchange(CFieldExchange& fx) {
    RFX_Text(fx, "[trigger]", trigger, 255);
    RFX_Text(fx, "[description]", description, 255);
}
