#pragma once

#include "db/JetLexer.h"
#include "db/JetTranslator.h"

#include <vector>

namespace tl {

// The data-definition half of the translator (CREATE TABLE, ALTER TABLE, DROP TABLE); the
// tokens are the whole statement. Each throws CDBException on a statement it cannot translate.
TranslatedSql TranslateCreateTable(const std::vector<JetToken>& tokens);
TranslatedSql TranslateAlterTable(const std::vector<JetToken>& tokens);
TranslatedSql TranslateDropTable(const std::vector<JetToken>& tokens);

} // namespace tl
