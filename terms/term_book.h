// The defined terms a reader meets: those that hold on a page, the
// definition a word has in a sentence, and a law's list, read from T_用語
// (term_writer.h).
//
// A law's own definitions hold within their scopes; where none of them holds,
// an order or rule uses the definitions its act (and, for a rule, its order)
// makes for the whole law: 主要構造部 in 令第百十二条 is 法第二条第五号. Of two
// own definitions that hold in one sentence, the one whose scope begins later
// (the narrower, or the later 以下) wins.
//
// The book reads through the caller's connection, inside the caller's read
// transaction when there is one. A database without T_用語 has no terms. The
// laws' titles and the list of all defined words are read once per book.
// Database failures are raised as ComponentError.
#pragma once

#include "core/database.h"
#include "terms/defined_term.h"

#include <memory>
#include <optional>
#include <unordered_map>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

class LawFamilies;

// The terms that may hold somewhere in the pages of one law: its own and
// those it inherits.
class TermsInUse {
public:
    // The distinct words, each with its own and inherited definitions.
    struct Word {
        std::string text;
        std::vector<DefinedTerm> own;
        std::vector<DefinedTerm> inherited;
    };

    const std::vector<Word>& words() const { return words_; }
    bool empty() const { return words_.empty(); }
    // The definition word `index` has in sentence `id`; null when none holds there.
    const DefinedTerm* definition(std::size_t index, std::string_view id) const;

private:
    friend class TermBook;
    void add(DefinedTerm term, bool inherited);
    std::vector<Word> words_;
    std::unordered_map<std::string, std::size_t> index_;
};

class TermBook {
public:
    explicit TermBook(Database& db);
    ~TermBook();
    TermBook(const TermBook&) = delete;
    TermBook& operator=(const TermBook&) = delete;

    // Whether the database has its terms table.
    bool available();
    // The terms that may hold on the pages of law `law` (its ID_HN).
    TermsInUse terms_in_use(std::string_view law);
    // The definition of `term` as used in sentence `id_bn`; none when nothing defines it there.
    std::optional<DefinedTerm> term_at(std::string_view id_bn, std::string_view term);
    // Every definition law `law` makes, in the order of the text.
    std::vector<DefinedTerm> law_terms(std::string_view law);
    // Words no use of a shorter term may cut into: every defined word and every
    // law's title and short title (建築士 keeps 建築 whole, 建築基準法 too).
    const std::vector<std::string>& whole_words();

private:
    std::vector<std::string> parents(const std::string& law);
    std::vector<DefinedTerm> read(const std::string& statement);

    Database& db_;
    std::optional<bool> available_;
    std::unique_ptr<LawFamilies> families_;
    std::optional<std::vector<std::string>> whole_words_;
};

} // namespace velto
