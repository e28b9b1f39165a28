#include "tools/dbgen/db_generator.h"

#include "tools/dbbuild/db_builder.h"

#include <cstdio>
#include <iterator>
#include <random>
#include <vector>

namespace velto {

namespace {

// Phrases of building-law prose; sentences are strung together from them.
// The common phrases come up on nearly every page; each of the others comes
// up the less often the later it stands, so that words of the law (容積,
// 採光, 日影) are found on many, some or few pages, as in a real collection.
constexpr const char* kCommonPhrases[] = {
    "建築物の敷地、構造、設備及び用途に関する基準を定め",
    "特定行政庁が指定する区域内においては",
    "主要構造部を耐火構造とした建築物で",
    "国土交通大臣が定める構造方法を用いるもの",
    "延べ面積が五百平方メートルを超えるもの",
    "当該建築物の各部分の高さは",
    "前面道路の反対側の境界線までの水平距離に",
    "政令で定める基準に従い",
    "建築主事又は指定確認検査機関の確認を受け",
    "防火地域又は準防火地域内にある建築物",
    "居室の床面積に対して",
    "避難上及び消火上支障がないものとして",
    "地階を除く階数が三以上であるもの",
    "構造耐力上主要な部分の",
};
constexpr const char* kOtherPhrases[] = {
    "容積率は、次の各号に掲げる区分に従い",
    "建蔽率の限度を超えないもの",
    "特殊建築物の用途に供する部分",
    "延焼のおそれのある部分の外壁",
    "準耐火建築物としなければならない",
    "防火区画に用いる防火設備",
    "直通階段に至る歩行距離は",
    "階段の幅、けあげ及び踏面の寸法",
    "排煙設備を設けなければならない",
    "居室の採光及び換気のための窓その他の開口部",
    "採光に有効な部分の面積は",
    "隣地境界線までの水平距離",
    "道路斜線制限の適用については",
    "非常用の昇降機を設けること",
    "換気設備の技術的基準",
    "敷地面積の最低限度",
    "用途地域の指定のない区域内の建築物",
    "界壁を小屋裏又は天井裏に達せしめ",
    "地区計画等の区域内において",
    "日影による中高層の建築物の高さの制限",
    "工作物の築造について準用する",
    "石綿その他の物質の飛散又は発散",
    "仮設建築物に対する制限の緩和",
    "風致地区内における建築物",
    "昇降機の構造は安全なものとし",
    "避雷設備を設けなければならない",
};
constexpr int kCommonCount = static_cast<int>(std::size(kCommonPhrases));
constexpr int kOtherCount = static_cast<int>(std::size(kOtherPhrases));
// One phrase in this many is one of the others.
constexpr int kOtherShare = 4;

struct Writer {
    std::string sql;
    std::mt19937 rng;

    explicit Writer(std::uint32_t seed) : rng(seed) {}

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    // A common phrase, or now and then one of the others, the n-th with a weight of 1/n.
    const char* phrase()
    {
        if (pick(1, kOtherShare) > 1)
            return kCommonPhrases[pick(0, kCommonCount - 1)];
        static const std::vector<double> weights = [] {
            std::vector<double> w;
            for (int i = 1; i <= kOtherCount; ++i)
                w.push_back(1.0 / i);
            return w;
        }();
        std::discrete_distribution<int> other(weights.begin(), weights.end());
        return kOtherPhrases[other(rng)];
    }

    void quoted(const std::string& text)
    {
        sql += '\'';
        for (const char c : text) {
            sql += c;
            if (c == '\'')
                sql += '\'';
        }
        sql += '\'';
    }

    // A sentence of 4 to 12 phrases with references, brackets and now and then a definition.
    std::string sentence(const std::string& law, int articles, int laws)
    {
        std::string text;
        const int phrases = pick(4, 12);
        for (int i = 0; i < phrases; ++i) {
            const int kind = pick(1, 20);
            if (kind <= 3) {
                text += "[第" + std::to_string(pick(1, articles)) + "条";
                if (chance(30))
                    text += "の" + std::to_string(pick(2, 5));
                if (chance(20) && laws > 1)
                    text += "/" + law_id(pick(1, laws));
                text += "]";
            } else if (kind == 4) {
                text += "（" + std::string(phrase()) + "（" + phrase() + "）をいう。）";
            } else if (kind == 5) {
                text += "「" + std::string(phrase()).substr(0, 12) + "」という。";
            } else {
                text += phrase();
            }
            text += i + 1 < phrases ? "、" : "。";
        }
        return text;
    }

    static std::string law_id(int n)
    {
        char id[8];
        std::snprintf(id, sizeof id, "%02d%c", n % 100, n < 100 ? 'A' : 'B');
        return id;
    }
};

void generate_law(Writer& w, int number, const GeneratorScale& scale)
{
    const std::string law = Writer::law_id(number);
    w.sql += "INSERT INTO T_法 VALUES ('" + law + "', '生成法令" + std::to_string(number) + "号', '生成" +
             std::to_string(number) + "', '生成法令" + std::to_string(number) + "号（令和元年法律第一号）', -1);\n";
    const int chapters = std::max(1, scale.pages_per_law / 40);
    for (int c = 1; c <= chapters; ++c) {
        char sn[32];
        std::snprintf(sn, sizeof sn, "%s-%02d00-0000-0000-0000", law.c_str(), c);
        w.sql += std::string("INSERT INTO T_章 VALUES ('") + sn + "', '第" + std::to_string(c) + "の章', NULL, NULL, NULL, 0);\n";
    }
    for (int a = 1; a <= scale.pages_per_law; ++a) {
        const int chapter = 1 + (a - 1) * chapters / scale.pages_per_law;
        char fn[32], sn[32];
        std::snprintf(fn, sizeof fn, "%s-%04d0000-00", law.c_str(), a);
        std::snprintf(sn, sizeof sn, "%s-%02d00-0000-0000-0000", law.c_str(), chapter);
        const bool large = w.chance(2);
        w.sql += std::string("INSERT INTO T_条 VALUES ('") + fn + "', '" + sn + "', '条の見出し" + std::to_string(a) +
                 "', '', 0, " + (large ? "1" : "0") + ", -1);\n";
        const int sentences = std::max(1, w.pick(scale.sentences_per_page / 2, scale.sentences_per_page * 3 / 2));
        int paragraph = 1, item = 0;
        for (int s = 0; s < sentences; ++s) {
            if (s > 0) {
                if (w.chance(60)) {
                    ++item;
                } else {
                    ++paragraph;
                    item = 0;
                }
            }
            char bn[48];
            std::snprintf(bn, sizeof bn, "%s-%02d00-%02d00-0000-0000", fn, paragraph % 100, item % 100);
            const bool table = scale.table_every > 0 && w.pick(1, scale.table_every) == 1;
            const int refs = w.chance(100 * scale.references_per_page / std::max(1, sentences)) ? w.pick(1, 2) : 0;
            const std::string text = w.sentence(law, scale.pages_per_law, scale.laws);
            w.sql += std::string("INSERT INTO T_文 VALUES ('") + bn + "', ";
            w.quoted(text);
            w.sql += std::string(", '', ") + (table ? "1" : "0") + ", 0, " + (refs ? "1" : "0") + ", 0, ";
            w.quoted(text);
            w.sql += ");\n";
            if (table) {
                w.sql += std::string("INSERT INTO T_表 VALUES ('") + bn +
                         "', 1, '<html><head></head><body><table><tr><td style=\"font-size:9.0pt;\">区分</td><td>"
                         "基準</td></tr><tr><td>[第1条]</td><td>五百平方メートル</td></tr></table></body></html>', "
                         "'区分 基準');\n";
            }
            for (int r = 0; r < refs; ++r) {
                char target[32];
                std::snprintf(target, sizeof target, "%s-%04d0000-00", law.c_str(), w.pick(1, scale.pages_per_law));
                w.sql += std::string("INSERT INTO T_参 VALUES ('") + bn + "', '" + target + "', " + std::to_string(r + 1) +
                         ", -1, '', '建築物', 0, 0, -1, -1, -1, NULL, NULL);\n";
            }
        }
    }
}

} // namespace

GeneratorScale real_scale() { return GeneratorScale{}; }

GeneratorScale sample_scale()
{
    GeneratorScale s;
    s.laws = 3;
    return s;
}

bool generate_database(const std::string& output, const GeneratorScale& scale, std::string& error)
{
    std::vector<ContentScript> scripts;
    scripts.push_back({"program pages",
                       "INSERT INTO T_法 VALUES ('00A', 'ヴェルト', 'ヴェルト', 'ヴェルト', -1);\n"
                       "INSERT INTO T_条 VALUES ('00A-Z0010000-00', '00A-0000-0000-0000-0000', '表紙', '', 0, 0, -1);\n"
                       "INSERT INTO T_他 VALUES ('00A-Z0010000-00', 1, '<h1>表紙</h1>');\n"});
    for (int law = 1; law <= scale.laws; ++law) {
        Writer w(scale.seed + static_cast<std::uint32_t>(law));
        generate_law(w, law, scale);
        scripts.push_back({"law " + std::to_string(law), std::move(w.sql)});
    }
    return build_database(output, scripts, error);
}

} // namespace velto
