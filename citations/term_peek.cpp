#include "citations/term_peek.h"

#include "catalog/law_family.h"
#include "citations/citation_aliases.h"
#include "compose/velto_doc.h"
#include "core/identifiers.h"
#include "core/text_format.h"
#include "citations/provision_name.h"

namespace velto {

namespace {

constexpr std::size_t kLawWidth = 3;
constexpr std::size_t kArticleWidth = 12;
constexpr std::size_t kSentenceWidth = 35;

// The provision a preview shows of a sentence: its item, or its paragraph.
std::string shown_scope(std::string_view sentence)
{
    return std::string(sentence.substr(0, sentence.substr(21, 4) == "0000" ? kParagraphScope : kItemScope));
}

} // namespace

bool TermPeek::single_paragraph(std::string_view definition)
{
    const std::string article(definition.substr(0, kArticleWidth));
    auto rs = doc_.database().execute(format("SELECT ID_BN FROM T_文 WHERE ID_BN > '%s-' AND ID_BN < '%s~'",
                                             sql_escape(article).c_str(), sql_escape(article).c_str()));
    for (; !rs->eof(); rs->move_next()) {
        const std::string id = rs->text("ID_BN");
        if (id.size() == kSentenceWidth && id.substr(16, 3) != "010")
            return false;
    }
    return true;
}

std::string TermPeek::law_word(const std::string& law, const std::string& reader_law)
{
    const auto known = words_.find(law + reader_law);
    if (known != words_.end())
        return known->second;
    return words_[law + reader_law] = find_law_word(law, reader_law);
}

std::string TermPeek::find_law_word(const std::string& law, const std::string& reader_law)
{
    const LawFamilies families = read_law_families(doc_.database());
    if (law != reader_law) {
        for (const auto& [name, parent] : families.aliases(reader_law))
            if (parent == law)
                return name;
        return doc_._law_name(law, kLawNameGeneral);
    }
    // The law's own text says この法律; a reader knows it by its short name.
    const std::string title = doc_._law_name(law, kLawNameGeneral);
    std::string best;
    for (const std::string& folder : {doc_.program_dir(), doc_.user_dir()}) {
        std::vector<std::string> problems;
        for (const CitationAlias& a : read_alias_file(folder + "/" + std::string(kAliasFileName), problems))
            if ((a.law == title || a.law == law) && (best.empty() || a.name.size() < best.size()))
                best = a.name;
    }
    return best.empty() ? title : best;
}

std::string TermPeek::source_name(std::string_view definition, std::string_view reader_law)
{
    if (definition.size() != kSentenceWidth)
        return {};
    const std::string provision = provision_name(definition, single_paragraph(definition));
    if (provision.empty())
        return {};
    return law_word(std::string(definition.substr(0, kLawWidth)), std::string(reader_law)) + provision;
}

bool TermPeek::compose(std::string_view definition, std::string_view term, std::string_view reader_law,
                       PeekTarget& target, std::string& html)
{
    target = PeekTarget{};
    html.clear();
    if (definition.size() != kSentenceWidth)
        return false;
    std::string source;
    try {
        source = source_name(definition, reader_law);
    } catch (const ComponentError&) {
        return false;
    }
    if (source.empty())
        source = doc_._law_name(definition.substr(0, kLawWidth), kLawNameGeneral);
    target.page = std::string(definition.substr(0, kPageScope));
    target.anchor = std::string(definition);
    target.scope = shown_scope(definition);
    target.heading = source + "　「" + std::string(term) + "」";
    target.named = true;
    return doc_._html_peek(target.page, target.scope, target.heading, html);
}

} // namespace velto
