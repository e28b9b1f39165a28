#include "app/diff_verb.h"

#include "app/law_subject.h"
#include "compose/velto_doc.h"
#include "core/terminal_text.h"
#include "editions/comparison_page.h"
#include "editions/edition_compare.h"

#include <cstdio>

namespace velto {

namespace {

// A page identifier (15 characters) or an article's (12).
bool is_page(const std::string& subject)
{
    IdKind kind;
    return CVeltoDoc::_id_kind(subject.size() == 12 ? subject + "-00" : subject, kind);
}

// The law a subject names: its code, a page of it, or its title.
std::string law_of(CVeltoDoc& doc, const std::string& subject)
{
    if (subject.size() == 3 || is_page(subject))
        return subject.substr(0, 3);
    if (std::string law = law_named(doc, subject); !law.empty())
        return law;
    for (const LawEdition& e : doc.editions())
        if (e.title == subject)
            return e.law;
    return {};
}

int fail(const std::string& message)
{
    print_text(stderr, message + "\n");
    return 1;
}

} // namespace

int print_edition_diff(CVeltoDoc& doc, const std::string& subject, const std::string& older, const std::string& newer)
{
    const std::string law = law_of(doc, subject);
    if (law.empty())
        return fail("velto: 法令「" + subject + "」は収録されていません。");
    try {
        const EditionComparison comparison = compare_editions(doc.database(), law, older, newer);
        if (!comparison.ok)
            return fail(comparison.message);
        if (!is_page(subject)) {
            for (const ArticleChange& c : comparison.articles)
                print_text(stdout, std::string(change_kind_name(c.kind)) + "\t" + c.newer_id + "\t" + c.older_id + "\t" +
                                       c.title + "\n");
            print_text(stderr, comparison.counts() + "\n");
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        // One article: as the newer edition numbers it, else as the older did.
        const std::string key = subject.substr(0, 12);
        std::string older_id, newer_id;
        for (const ArticleChange& c : comparison.articles)
            if (c.newer_id.compare(0, 12, key) == 0)
                older_id = c.older_id, newer_id = c.newer_id;
        if (newer_id.empty())
            for (const ArticleChange& c : comparison.articles)
                if (c.newer_id.empty() && c.older_id.compare(0, 12, key) == 0)
                    older_id = c.older_id;
        if (newer_id.empty() && older_id.empty())
            older_id = newer_id = key + "-00"; // untouched, or not an article of either edition
        ArticleComparison article =
            compare_article(doc.database(), doc, comparison.older, older_id, comparison.newer, newer_id);
        if (article.older_id.empty() && article.newer_id.empty())
            return fail("velto: " + subject + " は " + older + " と " + newer + " のどちらの版の本則の条にもありません。");
        const std::string text = comparison_text(article, comparison.newer.title);
        return print_text(stdout, text) && std::fflush(stdout) == 0 ? 0 : 1;
    } catch (const ComponentError& e) {
        return fail("velto: 法令の版を読めませんでした。" + std::string(e.what()));
    }
}

} // namespace velto
