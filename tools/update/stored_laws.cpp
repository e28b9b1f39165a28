#include "tools/update/stored_laws.h"

#include "catalog/law_database_choice.h"
#include "core/database.h"
#include "core/paths.h"
#include "core/report.h"
#include "core/user_folders.h"

namespace velto::update {

bool law_database_path(const std::string& db, const std::string& program_dir, const std::string& executable_dir,
                       const std::string& user_data_dir, bool writing, std::string& path, std::string& notice,
                       std::string& error)
{
    if (!db.empty()) {
        path = db;
        return true;
    }
    const ProgramFolder program = program_folder_of(executable_dir, program_dir);
    const std::string user_dir = user_folder_for(program, user_data_dir);
    LawDatabaseChoice choice;
    if (writing) {
        if (!prepare_writable_database(program.path, user_dir, choice, error))
            return false;
    } else {
        choice = choose_law_database(program.path, user_dir, false);
    }
    path = choice.path;
    notice = choice.notice;
    return true;
}

bool read_stored_collection(const std::string& database, StoredCollection& out, std::string& error)
{
    out = StoredCollection{};
    try {
        Database db;
        db.open("Data Source=" + database + ";", "admin", "");
        for (auto rs = db.execute("SELECT ID_HN FROM T_法"); !rs->eof(); rs->move_next())
            out.codes.insert(rs->text("ID_HN"));
        out.families = read_law_families(db);
        if (!db.has_table("T_版"))
            return true; // a database without imported laws
        auto rs = db.execute("SELECT T_版.*, T_法.法名略式 FROM T_版, T_法 WHERE T_版.ID_HN = T_法.ID_HN "
                             "ORDER BY T_版.ID_HN");
        for (; !rs->eof(); rs->move_next()) {
            StoredLaw law{rs->text("T_版.ID_HN"), rs->text("題名"),   rs->text("法令ID"),
                          rs->text("版ID"),       rs->text("施行日"), rs->text("法名略式")};
            if (!law.law_id.empty())
                out.laws.push_back(std::move(law));
        }
        return true;
    } catch (const ComponentError& e) {
        error = database + ": " + e.description.value_or(e.meaning);
        return false;
    }
}

} // namespace velto::update
