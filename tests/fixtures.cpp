#include "tests/fixtures.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace velto::test {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "velto-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern + "/";
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

ToolRun run_tool(const std::string& program, const std::string& args, const TempDir& scratch)
{
    const std::string out = scratch.file("run.out");
    const std::string err = scratch.file("run.err");
    const std::string command = program + " " + args + " >" + out + " 2>" + err;
    const int raw = std::system(command.c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = read_file(out);
    run.err = read_file(err);
    return run;
}

ToolRun run_reader(const std::string& build_dir, const std::string& args, const TempDir& scratch)
{
    return run_tool(build_dir + "/velto",
                    "--program-dir " + build_dir + "/ --settings " + scratch.file("s.ini") + " " + args, scratch);
}

void build_fixture_db(const std::string& file, const std::vector<std::string>& sql)
{
    std::vector<ContentScript> scripts;
    for (std::size_t i = 0; i < sql.size(); ++i)
        scripts.push_back({"fixture " + std::to_string(i + 1), sql[i]});
    std::string error;
    ASSERT_TRUE(build_database(file, scripts, error)) << error;
}

std::string standard_fixture_sql()
{
    return R"sql(
INSERT INTO T_法 VALUES ('00A', 'ヴェルト', 'ヴェルト', 'ヴェルト', -1);
INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', '建築基準法（昭和二十五年法律第二百一号）', -1);
INSERT INTO T_法 VALUES ('01B', '建築基準法施行令', '令', NULL, 0);
INSERT INTO T_法 VALUES ('02K', '告示', NULL, '国土交通省告示', 1);

INSERT INTO T_章 VALUES ('01A-0100-0000-0000-0000', '総則', NULL, NULL, NULL, 0);
INSERT INTO T_章 VALUES ('01A-0200-0000-0000-0000', '建築物の敷地、構造及び建築設備', NULL, NULL, NULL, 0);
INSERT INTO T_章 VALUES ('01A-0200-0100-0000-0000', NULL, '敷地', NULL, NULL, 0);
INSERT INTO T_章 VALUES ('01A-0200-0100-0100-0000', NULL, NULL, '款', NULL, 0);
INSERT INTO T_章 VALUES ('01A-0200-0100-0100-0100', NULL, NULL, NULL, '目', 0);

INSERT INTO T_条 VALUES ('00A-Z0010000-00', NULL, '表紙', NULL, 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00010000-00', '01A-0100-0000-0000-0000', '目的', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00020000-00', '01A-0100-0000-0000-0000', NULL, NULL, NULL, NULL, 1);
INSERT INTO T_条 VALUES ('01A-00020000-01', '01A-0100-0000-0000-0000', NULL, '続き', 0, 0, 1);
INSERT INTO T_条 VALUES ('01A-00030000-00', '01A-0100-0000-0000-0000', '適用の除外', '', 3, 0, -1);
INSERT INTO T_条 VALUES ('01A-00030000-01', '01A-0100-0000-0000-0000', '', '二', 3, 0, -1);
INSERT INTO T_条 VALUES ('01A-00030000-02', '01A-0100-0000-0000-0000', '独自の名', '三', 3, 0, -1);
INSERT INTO T_条 VALUES ('01A-00040000-01', '01A-0100-0000-0000-0000', '', '', 1, 0, -1);
INSERT INTO T_条 VALUES ('01A-0005000-00',  '01A-0100-0000-0000-0000', '短い', '', 2, 0, -1);
INSERT INTO T_条 VALUES ('01A-00060000-00', '01A-0200-0100-0100-0100', '隠れた条', '', 0, 0, 0);
INSERT INTO T_条 VALUES ('01A-00060200-00', '01A-0200-0100-0100-0100', '建築物の建築等', '', 0, 1, 2);
INSERT INTO T_条 VALUES ('01B-00010000-00', NULL, '用語の定義', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-T0010000-00', NULL, '別表第一', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('02K-KD180543-00', NULL, '告示', '構造計算', 2, 0, -1);
INSERT INTO T_条 VALUES ('02K-KD180543-01', NULL, NULL, '構造計算', 2, 0, -1);
INSERT INTO T_条 VALUES ('01A-F0000000-00', NULL, '附則', NULL, 0, 0, -1);

INSERT INTO T_文 VALUES ('01A-00010000-00-0100-0000-0000-0000', 'この法律は、建築物の敷地に関する最低の基準を定める。', NULL, 0, 0, 0, 0, 'この法律は');
INSERT INTO T_文 VALUES ('01A-00020000-00-0100-0000-0000-0000', '用語の意義は、次のとおり。', '', 0, 0, 1, 0, '用語の意義');
INSERT INTO T_文 VALUES ('01A-00020000-00-0100-0100-0000-0000', '建築物　土地に定着する工作物', '', 1, 0, 0, 0, '建築物 土地に定着する工作物');
INSERT INTO T_文 VALUES ('01A-00020000-00-0100-0200-0000-0000', '特殊建築物　学校', '', NULL, NULL, NULL, NULL, NULL);
INSERT INTO T_文 VALUES ('01A-00020000-01-0100-0300-0000-0000', '建築設備', '', 0, 0, 0, 0, '建築設備');

INSERT INTO T_表 VALUES ('01A-00020000-00-0100-0100-0000-0000', 2, '<tr><td>二</td></tr>', '二');
INSERT INTO T_表 VALUES ('01A-00020000-00-0100-0100-0000-0000', 1, '<tr><td>一</td></tr>', '一');
INSERT INTO T_他 VALUES ('00A-Z0010000-00', 2, '<p>後</p>');
INSERT INTO T_他 VALUES ('00A-Z0010000-00', 1, '<p>前</p>');
INSERT INTO T_参 VALUES ('01A-00020000-00-0100-0000-0000-0000', '01A-00010000-00', 2, -1, '', '目的', 0, 0, 0, 0, 0, NULL, NULL);
INSERT INTO T_参 VALUES ('01A-00020000-00-0100-0000-0000-0000', '01A-00990000-00', 1, 1, '', '欠番', 0, 0, 0, 0, 0, NULL, NULL);
INSERT INTO T_参 VALUES ('01A-00020000-00-0100-0000-0000-0000', '01A-00030000-00', 3, 0, '', '隠す', 0, 0, 0, 0, 0, NULL, NULL);
INSERT INTO T_告 VALUES ('02K-KD180543-00', '2006-05-31', '国土交通省', NULL, NULL, NULL);
)sql";
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_file(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace velto::test
