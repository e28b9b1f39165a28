#include "tests/compose_fixture.h"

namespace velto::test {

std::string compose_fixture_sql()
{
    return R"sql(
INSERT INTO T_法 VALUES ('00A', 'ヴェルト', 'ヴェルト', 'ヴェルト', -1);
INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', '建築基準法（昭和二十五年法律第二百一号）', -1);
INSERT INTO T_法 VALUES ('01B', '建築基準法施行令', '令', '建築基準法施行令', -1);
INSERT INTO T_法 VALUES ('02A', '都市計画法', '都計法', '都市計画法', -1);
INSERT INTO T_法 VALUES ('05K', '国土交通省告示', '告示', '国土交通省告示', -1);
INSERT INTO T_法 VALUES ('10A', '旧ハートビル法', 'ハートビル法', '旧ハートビル法', -1);

INSERT INTO T_章 VALUES ('01A-0100-0000-0000-0000', '総則', NULL, NULL, NULL, 0);
INSERT INTO T_章 VALUES ('01A-0300-0000-0000-0000', '都市計画区域等における建築物の敷地、構造、建築設備及び用途', NULL, NULL, NULL, 0);
INSERT INTO T_章 VALUES ('01A-0300-0400-0000-0000', '都市計画区域等における建築物の敷地、構造、建築設備及び用途', '建築物の敷地及び構造', NULL, NULL, 0);

INSERT INTO T_条 VALUES ('00A-Z0010000-00', '00A-0000-0000-0000-0000', '表紙', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('00A-Z0090001-00', '00A-0000-0000-0000-0000', '等辺山形鋼', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00010000-00', '01A-0100-0000-0000-0000', '目的', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00020000-00', '01A-0100-0000-0000-0000', '用語の定義', '', 0, 1, -1);
INSERT INTO T_条 VALUES ('01A-00030000-00', '01A-0100-0000-0000-0000', '適用の除外', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00050000-00', '01A-0100-0000-0000-0000', '大きな条', '前段', 3, -1, -1);
INSERT INTO T_条 VALUES ('01A-00050000-01', '01A-0100-0000-0000-0000', '', '中段', 3, -1, -1);
INSERT INTO T_条 VALUES ('01A-00050000-02', '01A-0100-0000-0000-0000', '', '後段', 3, -1, -1);
INSERT INTO T_条 VALUES ('01A-00060000-00', '01A-0100-0000-0000-0000', '分割数の壊れた条', '', 2147483647, 0, -1);
INSERT INTO T_条 VALUES ('01A-00070000-00', '01A-0100-0000-0000-0000', '括弧とリンク', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00200000-00', '01A-0100-0000-0000-0000', '構造耐力', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00520000-00', '01A-0300-0400-0000-0000', '容積率', '第一項', 3, 0, -1);
INSERT INTO T_条 VALUES ('01A-00520000-01', '01A-0300-0400-0000-0000', '', '第二項　から', 3, 0, -1);
INSERT INTO T_条 VALUES ('01A-00520000-02', '01A-0300-0400-0000-0000', '', '第三項', 3, 0, -1);
INSERT INTO T_条 VALUES ('01A-00530000-00', '01A-0300-0400-0000-0000', 'なし', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00540000-00', NULL, '見出し', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-F0000000-00', '01A-0000-0000-0000-0000', '附則', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-T0010000-00', '01A-0000-0000-0000-0000', '別表第一', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-T0020000-00', '01A-0000-0000-0000-0000', '別表第二', '（い）', 2, 0, -1);
INSERT INTO T_条 VALUES ('01A-T0020000-01', '01A-0000-0000-0000-0000', '', '（ろ）', 2, 0, -1);
INSERT INTO T_条 VALUES ('01B-00010000-00', '01B-0000-0000-0000-0000', '用語の定義', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('02A-00010000-00', '02A-0000-0000-0000-0000',
  '目的目的目的目的目的目的目的目的目的目的目的目的目的目的目的目的目的目的目的目的', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('05K-KD180543-00', '05K-0000-0000-0000-0000', '構造計算の基準', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('05K-KA010001-00', '05K-0000-0000-0000-0000', '古い告示', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('05K-KE070012-00', '05K-0000-0000-0000-0000', '新しい告示', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('10A-00010000-00', '10A-0000-0000-0000-0000', '目的', '', 0, 0, -1);

INSERT INTO T_文 VALUES ('01A-00010000-00-0100-0000-0000-0000',
  'この法律は、建築物の構造に関する最低の基準を定め（[第20条]参照）、構造の安全を図る。構造。', '', 0, 0, 1, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00020000-00-0100-0000-0000-0000', '用語の意義は、次のとおりとする。', '', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00020000-00-0100-0100-0000-0000', '「建築物」という。', '', 1, 0, 1, 1, NULL);
INSERT INTO T_文 VALUES ('01A-00020000-00-0100-0200-0000-0000', '', 'CCCCC', 0, 0, 1, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00050000-00-0100-0000-0000-0000', '大きな条の前段。', '', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00050000-02-0300-0000-0000-0000', '大きな条の後段。', '', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00060000-00-0100-0000-0000-0000', '壊れた条の本文。', '', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00070000-00-0100-0000-0000-0000',
  'この基準は、[L不燃材料を定める件（平成12年告示第1400号）/02K-KD121400L]を参照。', '', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00070000-00-0200-0000-0000-0000',
  '[K建築物（工作物を含む。）K]の敷地（[第20条]に規定するものをいう。）', '', 0, 0, 1, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00070000-00-0300-0000-0000-0000', '前段（[K重要な語（括弧K]の後に続く長い文）。', '', 0, 0, 1, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00200000-00-0100-0000-0000-0000', '建築物は、[K自重K]に対して安全な構造とする。', '', 0, 0, 1, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00200000-00-0200-0000-0000-0000', '前項の[L凡例/00A-Z0020000L]による。', '', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00520000-00-0100-0000-0000-0000', '容積率は、10m3とする。', '', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00520000-01-0200-0000-0000-0000', '第二項の本文。', '', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00520000-02-0300-0000-0000-0000', '第三項の本文。', '', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00530000-00-0100-0000-0000-0000', '建ぺい率の本文。', '', 1, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00540000-00-0100-0000-0000-0000', '本文。', '', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('01A-F0000000-00-0100-0000-0000-0000', 'この法律は、公布の日から施行する。', '', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('01A-F0000000-00-0200-0000-0000-0000', '経過措置を定める。', '', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('05K-KD180543-00-0100-0000-0000-0000', '構造計算の基準を定める。', 'D', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('05K-KD180543-00-0100-0100-0000-0000', '見えない番号の号。', '    D', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('05K-KE070012-00-0100-0000-0000-0000', '令和の告示の本文。', 'D', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('10A-00010000-00-0100-0000-0000-0000', '廃止された法律の本文。', '', 0, 0, 0, 0, NULL);

INSERT INTO T_表 VALUES ('01A-00020000-00-0100-0100-0000-0000', 1,
  '<html><head></head><body><table><tr><td x:str="構造">構造</td><td style="font-size:9.0pt;">[第3条]</td></tr></table><img src="./images/fig.gif"></body></html>', NULL);
INSERT INTO T_表 VALUES ('01A-00020000-00-0100-0100-0000-0000', 2,
  '<html><head></head><body><p style="font-size: 9.0pt;">二つ目<br>の表</p></body></html>', NULL);
INSERT INTO T_表 VALUES ('01A-T0010000-00-0000-0000-0000-0000', 1,
  '<html><head><title>別表第一</title></head><body><table><tr><td x:str="a">用途</td></tr></table></body></html>', NULL);
INSERT INTO T_表 VALUES ('01A-T0020000-01-0000-0000-0000-0000', 1,
  '<html><head></head><body><p>（ろ）欄</p></body></html>', NULL);

INSERT INTO T_他 VALUES ('00A-Z0010000-00', 1, '<img src="velto_title.bmp"><img src="season.gif">');
INSERT INTO T_他 VALUES ('00A-Z0010000-00', 2, '[L凡例/00A-Z0020000L] <span x:str="x">表紙</span>');
INSERT INTO T_他 VALUES ('00A-Z0090001-00', 1, '<img src="images/basic/l.gif"><img src="images/design/d.gif">');

INSERT INTO T_参 VALUES ('01A-00010000-00-0100-0000-0000-0000', '01A-00200000-00', 1, -1, '', '構造', 0, 2, -1, -1, -1, NULL, NULL);
INSERT INTO T_参 VALUES ('01A-00010000-00-0100-0000-0000-0000', '01A-00200000-00', 2, -1, '', NULL, 0, 0, 0, 0, 0, 'なし', '第1項');
INSERT INTO T_参 VALUES ('01A-00010000-00-0100-0000-0000-0000', '02A-00010000-00', 3, -1, '本文', '基準', 0, 0, 0, 0, -1, NULL, NULL);
INSERT INTO T_参 VALUES ('01A-00020000-00-0100-0100-0000-0000', '05K-KD180543-00', 1, -1, '', '構造', -1, 0, -1, -1, -1, '告示', NULL);
INSERT INTO T_参 VALUES ('01A-00020000-00-0100-0200-0000-0000', '01B-00010000-00', 1, -1, '', '', 0, 0, 0, 0, 0, NULL, NULL);
INSERT INTO T_参 VALUES ('01A-00020000-00-0100-0200-0000-0000', '01A-T0010000-00', 2, -1, '', '', 0, 0, 0, 0, 0, NULL, NULL);
INSERT INTO T_参 VALUES ('01A-00200000-00-0100-0000-0000-0000', '01A-00010000-00', 1, -1, '', '自重', 0, 0, 0, -1, -1, NULL, NULL);
INSERT INTO T_参 VALUES ('01A-00200000-00-0100-0000-0000-0000', '01A-00990000-00', 2, -1, '', '', 0, 0, 0, 0, 0, NULL, NULL);

INSERT INTO T_参 VALUES ('01A-00070000-00-0200-0000-0000-0000', '01A-00200000-00', 1, -1, '', '建築物（工作物を含む。）', 0, 0, 0, -1, -1, NULL, NULL);
INSERT INTO T_参 VALUES ('01A-00070000-00-0300-0000-0000-0000', '01A-00200000-00', 1, -1, '', '重要な語（括弧', 0, 0, 0, -1, -1, NULL, NULL);

INSERT INTO T_告 VALUES ('05K-KD180543-00', '2006-05-31', '国土交通省', '2007/05/18 00:00:00', '国土交通省', 599);
INSERT INTO T_告 VALUES ('05K-KA010001-00', '1989-01-08', '建設省', NULL, NULL, 12);
INSERT INTO T_告 VALUES ('05K-KD180544-00', '平成18年', '国土交通省', '2007-02-30', NULL, 3);
INSERT INTO T_告 VALUES ('05K-KE070012-00', '2025-04-01', '国土交通省', '2019-05-01', '国土交通省', 3);
INSERT INTO T_告 VALUES ('05K-KC640001-00', '1989-01-07', '建設省', '2019-04-30', '国土交通省', 2);
INSERT INTO T_告 VALUES ('05K-KD180545-00', '2006-05-31T09:00:00', '国土交通省', NULL, '国土交通省', 7);
INSERT INTO T_参 VALUES ('01A-00030000-00-0100-0000-0000-0000', '01A-00980000-00', 1, -1, '', '', 0, 0, 0, 0, 0, NULL, NULL);
INSERT INTO T_参 VALUES ('01A-00030000-00-0200-0000-0000-0000', '01A-F0000000-00', 1, -1, '', '', 0, 0, 0, 0, 0, NULL, NULL);
)sql";
}

void ComposeFixture::SetUp()
{
    build_fixture_db(dir.file("VT2014.m88"), {compose_fixture_sql()});
    start();
}

void ComposeFixture::rebuild(const std::string& extra_sql)
{
    stop();
    build_fixture_db(dir.file("VT2014.m88"), {compose_fixture_sql(), extra_sql});
    start();
}

void ComposeFixture::start()
{
    doc.reset();
    doc = std::make_unique<CVeltoDoc>(settings, reporter);
    DocumentOptions options;
    options.program_dir = dir.path();
    ASSERT_TRUE(doc->OnNewDocument(options));
}

std::string ComposeFixture::page(const std::string& id)
{
    std::string html;
    reporter.clear();
    EXPECT_TRUE(doc->_html_build(id, html)) << id;
    for (const auto& m : reporter.messages())
        ADD_FAILURE() << id << ": " << m.caption << "\n" << m.text;
    return html;
}

std::size_t count_of(const std::string& text, const std::string& needle)
{
    std::size_t n = 0;
    for (std::size_t pos = text.find(needle); pos != std::string::npos; pos = text.find(needle, pos + needle.size()))
        ++n;
    return n;
}

} // namespace velto::test
