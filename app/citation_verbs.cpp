#include "app/citation_verbs.h"

#include "app/law_subject.h"
#include "citations/citation_links.h"
#include "compose/velto_doc.h"
#include "core/html_text.h"
#include "core/terminal_text.h"

#include <algorithm>
#include <cstdio>

namespace velto {

namespace {

// The identifier prefix of what `subject` names: a page ("01B-01120000-00"),
// or a law by its code or one of its names ("01B-"); empty when the reader shows neither.
std::string prefix_of(CVeltoDoc& doc, const std::string& subject)
{
    if (is_page_id(subject)) {
        std::string name, supplement;
        return doc._page_names(subject, name, supplement) ? subject : std::string();
    }
    const std::string law = law_named(doc, subject);
    return law.empty() ? law : law + "-";
}

int print_rows(CVeltoDoc& doc, const std::string& subject, bool links)
{
    const std::string prefix = prefix_of(doc, subject);
    if (prefix.empty()) {
        print_text(stderr, "velto: the reader shows no page or law " + subject + "\n");
        return 1;
    }
    std::vector<CitationRow> rows;
    try {
        rows = citation_rows(doc.database(), prefix, links);
    } catch (const ComponentError& e) {
        print_text(stderr, "velto: " + e.description.value_or(e.meaning) + "\n");
        return 1;
    }
    std::string out;
    for (const CitationRow& row : rows) {
        out += row.sentence + "\t" + shown_text(row.text) + "\t";
        out += links ? row.page + "\t" + row.anchor : row.reason;
        out += "\n";
    }
    return print_text(stdout, out) && std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int print_citation_links(CVeltoDoc& doc, const std::string& subject) { return print_rows(doc, subject, true); }

int print_unresolved_citations(CVeltoDoc& doc, const std::string& subject) { return print_rows(doc, subject, false); }

} // namespace velto
