// Going to a provision by its citation: "令第百十二条第十八項" becomes the
// page of 施行令 第112条 and the anchor of its paragraph 18.
//
// Laws are named by their names in the database (法名一般, 法名略式,
// 法名正式), their ID_HN, or a short name of the alias file
// (citations/citation_aliases.h), which wins over the database's names; a
// citation without a name is of the law of the page shown, and one without an
// article (第2項) of the article shown. Only pages the reader shows are found.
//
// The anchor of a paragraph, item or sub-item is the id of its first sentence
// on its page (every sentence of a page carries its ID_BN as id); the
// provision reaches over the sentences whose identifiers begin with `scope`.
// A paragraph of a large article exists only in its full text: a caller that
// shows an anchor shows the page in full.
//
// Whatever cannot be found ends in a message naming what is missing
// (「建築基準法施行令に第百五十一条はありません」) and, where the law holds
// provisions close to it, citations of those; nothing is guessed, so a
// citation never leads to another provision than the one it names. Any text
// may be passed. Resolving reads the sentences of one article at most, and,
// the first time a law is cited, the list of that law's pages (a notice
// citation: of every law's notices); what the resolver costs does not grow
// with the number of laws' pages it is not asked about.
#pragma once

#include "citations/citation_aliases.h"
#include "citations/citation_parser.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace velto {

class CVeltoDoc;
class Database;
class LawCatalog;
namespace citation {
struct LawIndex;
struct NoticeEntry;
} // namespace citation

struct CitationTarget {
    std::string page;   // the ID_FN to show
    std::string anchor; // ID_BN of the first sentence of the provision; empty for the page itself
    std::string scope;  // the provision's sentences begin with this; empty without anchor
    std::string label;  // what was found, as the status bar tells it ("建築基準法施行令 第112条第18項")
};

struct CitationResult {
    bool found = false;
    CitationTarget target;
    std::string message;                  // when not found: why, with the close matches
    std::vector<std::string> suggestions; // citations of provisions close to the one asked for; each is found
};

class CitationResolver {
public:
    // Indexes the names of the laws the reader shows; their pages are read
    // from `db` when a citation first needs them. `db` is read on resolves
    // and must outlive the resolver; the catalog is read only here.
    CitationResolver(Database& db, const LawCatalog& laws, const std::vector<CitationAlias>& aliases);
    ~CitationResolver();
    CitationResolver(const CitationResolver&) = delete;
    CitationResolver& operator=(const CitationResolver&) = delete;

    // The provision `text` names; `current_page` is the ID_FN of the page
    // shown (may be empty), for citations without a law or an article.
    CitationResult resolve(std::string_view text, std::string_view current_page = {}) const;

private:
    struct Index;
    struct Request;
    // The law of ID_HN `id` (one the reader shows) with its pages, read on
    // first use (citation_index.cpp); throws ComponentError.
    const citation::LawIndex& law_of(const std::string& id) const;
    // The notices of every law, read on first use; throws ComponentError.
    const std::vector<citation::NoticeEntry>& notices() const;
    // resolve() without checking its suggestions.
    CitationResult resolve_text(std::string_view text, std::string_view current_page) const;
    CitationResult ambiguous_law(const std::string& word, const std::vector<std::string>& laws,
                                 const CitationBody& body) const;
    CitationResult unknown_law(const std::string& word, const CitationBody& body, std::string_view current_page) const;
    CitationResult resolve_body(Request& request, std::string_view current_page) const;
    CitationResult resolve_notice(const NoticeCitation& notice) const;
    CitationResult resolve_table(const Request& request) const;
    // Articles and the supplementary provisions: their sentences are read (citation_sentences.cpp).
    CitationResult resolve_article(const Request& request) const;
    CitationResult resolve_supplement(const Request& request) const;

    Database& db_;
    std::unique_ptr<Index> index_;
};

// A resolver over a started document, with the alias file of its program
// folder. Lines of the alias file that cannot be read are told through the
// document's reporter once, here.
std::unique_ptr<CitationResolver> open_citation_resolver(CVeltoDoc& doc);

} // namespace velto
