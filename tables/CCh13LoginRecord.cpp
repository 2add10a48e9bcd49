#include "tables/CCh13LoginRecord.h"

std::string CCh13LoginRecord::GetDefaultSQL() const {
    return "[Ch13Login]";
}

void CCh13LoginRecord::DoFieldExchange(CFieldExchange& fx) {
    RFX_Text(fx, "[TrusteeName]", TrusteeName, 255);
    RFX_Text(fx, "[UserName]", UserName, 255);
    RFX_Text(fx, "[Password]", Password, 255);
    RFX_Int(fx, "[Attorney]", Attorney);
}
