// The program folders the build makes, as test parameters: the small sample
// (build/sample/, the tests' fixture) and the reader's own folder with the
// whole laws (build/), and plain reads of their databases and files.
#pragma once

#include "core/database.h"

#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace velto::test {

inline const std::string kProgramDir = VELTO_BINARY_DIR "/";
inline const std::string kSampleDir = VELTO_BINARY_DIR "/sample/";
inline const std::string kOfficialDir = VELTO_BINARY_DIR "/official/";

// The two folders, as test parameters.
struct Folder {
    const char* name;
    std::string dir;
    bool whole; // holds the whole laws 01A and 01B
};
inline const Folder kSample{"Sample", kSampleDir, false};
inline const Folder kShipped{"Shipped", kProgramDir, true};
inline std::string folder_name(const ::testing::TestParamInfo<Folder>& info) { return info.param.name; }
inline void PrintTo(const Folder& folder, std::ostream* os) { *os << folder.name; }

inline std::unique_ptr<Database> open_db(const std::string& dir)
{
    auto db = std::make_unique<Database>();
    db->open("Data Source=" + dir + "VT2014.m88;", "admin", "");
    return db;
}

struct SentenceRow {
    std::string id;
    std::string text;
};

inline std::vector<SentenceRow> sentences(Database& db, const std::string& where = "1 = 1")
{
    std::vector<SentenceRow> rows;
    auto rs = db.execute("SELECT * FROM T_文 WHERE " + where + " ORDER BY [ID_BN]");
    for (; !rs->eof(); rs->move_next())
        rows.push_back({rs->text("ID_BN"), rs->text("法文")});
    return rows;
}

inline std::string read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

} // namespace velto::test
