// A database engine file that shows a message box with Qt itself.
#include "db/CDatabase.h"
#include <QMessageBox>
