// tl_make_database OUTPUT.mdb STATEMENTS: makes a database file of the product from statements in
// the Access dialect, one a line ("--" lines are comments), through the program's own database
// layer. Used at build time for the sample release's TallymarPlaces.mdb.
#include "db/CDBException.h"
#include "db/CDatabase.h"
#include "db/CreateDatabaseFile.h"
#include "platform/Machine.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

int main(int argc, char* argv[]) {
    namespace fs = std::filesystem;
    if (argc != 3) {
        std::fprintf(stderr, "Usage: tl_make_database OUTPUT.mdb STATEMENTS\n");
        return 2;
    }
    const fs::path output = fs::absolute(argv[1]);
    std::ifstream statements(argv[2]);
    if (!statements) {
        std::fprintf(stderr, "tl_make_database: cannot read %s\n", argv[2]);
        return 1;
    }
    // A machine of its own whose drive D: is the output's folder; nothing of the user's is touched.
    const fs::path prefix = output.parent_path() / (".make-database-" + std::to_string(::getpid()));
    int status = 0;
    {
        tl::ScopedMachine scope(std::make_unique<tl::Machine>(prefix));
        tl::Machine::Current().AddDrive('D', win::DRIVE_FIXED, output.parent_path());
        fs::remove(output);
        const std::string path = "D:\\" + output.filename().string();
        if (CreateDatabaseFile(path) != 0) {
            std::fprintf(stderr, "tl_make_database: cannot create %s\n", output.c_str());
            status = 1;
        } else {
            CDatabase db;
            int line = 0;
            try {
                db.OpenEx("ODBC;DBQ=" + path + ";UID=admin");
                for (std::string statement; status == 0 && std::getline(statements, statement);) {
                    ++line;
                    if (!statement.empty() && !statement.starts_with("--"))
                        db.ExecuteSQL(statement);
                }
                db.Close();
            } catch (const CDBException& e) {
                std::fprintf(stderr, "tl_make_database: %s(%d): %s\n", argv[2], line,
                             e.GetErrorMessage().c_str());
                status = 1;
            }
        }
    }
    fs::remove_all(prefix);
    if (status != 0)
        fs::remove(output);
    return status;
}
