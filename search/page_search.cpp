#include "search/page_search.h"

#include "core/html_text.h"
#include "catalog/article_rows.h"
#include "core/text_format.h"
#include "catalog/page_catalog.h"
#include "catalog/page_directory.h"
#include "search/like_text.h"

#include <algorithm>
#include <iterator>

namespace velto {

namespace {

// The statements keep the text they have always had; %s is the word with its
// quotes doubled.
constexpr const char* kTitleStatement =
    "SELECT [ID_FN] FROM T_条, T_法 WHERE ([T_条].[条名]) Like '%%%s%%' AND LEFT(T_条.[ID_FN],%d) = T_法.[ID_HN] "
    "AND T_条.[表示] = YES AND T_法.[表示] = YES ORDER BY [T_条].[ID_FN] ";
constexpr const char* kSentenceStatement =
    "SELECT T_条.[ID_FN] FROM T_条, T_法 WHERE T_条.[ID_FN] in (SELECT Left([ID_BN],%d) AS ID_FN FROM T_文 WHERE "
    "(T_文.[検索用データ]) Like '%%%s%%' GROUP BY Left([ID_BN],%d) ) AND LEFT(T_条.[ID_FN],%d) = T_法.[ID_HN] AND "
    "T_条.[表示] = YES AND T_法.[表示] = YES ORDER BY [T_条].[ID_FN] ";
constexpr const char* kTableStatement =
    "SELECT T_条.[ID_FN] FROM T_条, T_法 WHERE T_条.[ID_FN] in (SELECT Left([ID_BN],%d) AS ID_FN FROM T_表 WHERE "
    "(T_表.[検索用データ]) Like '%%%s%%' GROUP BY Left([ID_BN],%d) ) AND LEFT(T_条.[ID_FN],%d) = T_法.[ID_HN] AND "
    "T_条.[表示] = YES AND T_法.[表示] = YES ORDER BY [T_条].[ID_FN] ";

constexpr int kPageIdLength = 15;
constexpr int kLawIdLength = 3;

// The steps of a word before each of its three statements.
constexpr int kStepsBefore[3] = {1, 1, 4};

// Ends a search from within its progress steps.
struct SearchCancelled {};

void step(const SearchProgress& advance, int steps)
{
    if (advance)
        advance(steps);
}

// The non-empty identifiers of a statement's rows.
std::vector<std::string> read_pages(Database& db, const std::string& statement)
{
    std::vector<std::string> pages;
    auto rs = db.execute(statement);
    for (; !rs->eof(); rs->move_next()) {
        std::string id = rs->text("ID_FN");
        if (!id.empty())
            pages.push_back(std::move(id));
    }
    rs->close();
    return pages;
}

// Byte order, each identifier once, whatever order the database gave.
void make_set(std::vector<std::string>& pages)
{
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
}

std::vector<std::string> unite_pages(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    std::vector<std::string> out;
    out.reserve(a.size() + b.size());
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

} // namespace

void FullTextSearch::search_by_statements(const std::string& word, std::vector<std::string>& pages,
                                          const SearchProgress& advance)
{
    const std::string quoted = sql_escape(word);
    const std::string statements[3] = {
        format(kTitleStatement, quoted.c_str(), kLawIdLength),
        format(kSentenceStatement, kPageIdLength, quoted.c_str(), kPageIdLength, kLawIdLength),
        format(kTableStatement, kPageIdLength, quoted.c_str(), kPageIdLength, kLawIdLength),
    };
    std::vector<std::string> found;
    for (int i = 0; i < 3; ++i) {
        step(advance, kStepsBefore[i]);
        std::vector<std::string> part = read_pages(db_, statements[i]);
        make_set(part);
        found = unite_pages(found, part);
    }
    pages = std::move(found);
}

void FullTextSearch::_search_in_all_pages_sub(const std::string& word, std::vector<std::string>& pages,
                                              const SearchProgress& advance)
{
    if (index_ && like_answerable(word)) {
        try {
            pages = index_->find(db_, word);
            step(advance, kSearchStepsPerWord);
            return;
        } catch (const SearchIndexFault&) {
            // The statements find the same pages.
        }
    }
    search_by_statements(word, pages, advance);
}

std::vector<std::string> FullTextSearch::pages_with_all(const std::vector<std::string>& words,
                                                        const SearchProgress& advance)
{
    std::optional<SearchIndex::Pages> indexed;   // the pages of the words the index answered
    std::optional<std::vector<std::string>> others; // those of the words the statements answered
    for (const std::string& word : words) {
        if (index_ && like_answerable(word)) {
            try {
                indexed = index_->pages_of(db_, word, indexed ? &*indexed : nullptr);
                step(advance, kSearchStepsPerWord);
                continue;
            } catch (const SearchIndexFault&) {
                // The statements find the same pages.
            }
        }
        std::vector<std::string> pages;
        search_by_statements(word, pages, advance);
        others = others ? intersect_pages(*others, pages) : std::move(pages);
    }
    if (!indexed)
        return others ? std::move(*others) : std::vector<std::string>();
    std::vector<std::string> pages = index_->ids(*indexed);
    return others ? intersect_pages(pages, *others) : pages;
}

std::vector<std::string> intersect_pages(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    std::vector<std::string> out;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

SearchOutcome search_words(FullTextSearch& search, const std::vector<std::string>& words,
                           const SearchProgress& advance, const std::atomic<bool>* cancel)
{
    SearchOutcome outcome;
    const auto stop = [cancel] { return cancel && cancel->load(); };
    const SearchProgress steps = [&](int n) {
        if (stop())
            throw SearchCancelled{};
        step(advance, n);
    };
    try {
        outcome.pages = search.pages_with_all(words, steps);
        if (stop())
            throw SearchCancelled{};
    } catch (const SearchCancelled&) {
        outcome = SearchOutcome{SearchOutcome::Status::Cancelled, {}, std::nullopt};
    } catch (const ComponentError& error) {
        outcome = SearchOutcome{SearchOutcome::Status::Failed, {}, error};
    } catch (const std::exception&) {
        outcome = SearchOutcome{SearchOutcome::Status::Unexpected, {}, std::nullopt};
    }
    return outcome;
}

SearchRow search_row(const PageDirectory& directory, std::string_view id)
{
    SearchRow row;
    row.id = std::string(id);
    row.law = shown_text(directory._law_name(id.substr(0, std::min<std::size_t>(id.size(), kLawIdLength)), kLawNameGeneral));
    int image = 0;
    ArticleRows::page_label(directory, id, row.label, image);
    IdKind kind;
    if (directory._id_kind(id, kind) && kind == IdKind::Notice) {
        // The list of search results writes the notice number without its leading zeros.
        std::string text;
        row.label = directory._notice_number_label(id, text, false) ? text : "不明";
    }
    int count = 0, number = 0;
    if (directory._split_info(id, count, number))
        row.label += " " + format("(P.%02d/%02d)", number, count);
    return row;
}

std::string search_result_message(std::size_t count)
{
    if (count == 0)
        return std::string(kSearchNothingFound);
    return format(kSearchFoundFormat.data(), static_cast<int>(count));
}

} // namespace velto
