// An XML test that borrows the database fixture of a folder the XML layer does not use.
#include "xml/XmlDocument.h"

#include "tests/support/TestMachine.h"
#include "tests/db/DatabaseTestSupport.h"
