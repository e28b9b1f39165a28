// The words of a search text painted in the page shown, and the paint taken
// off again. The find in the page (PageFindBar) and the highlighting of
// full-text search hits share it through C2ndView::_mark_words.
//
// Painting wraps each occurrence in spans of the view's own, inside links and
// coloured brackets and never around them; taking the paint off removes just
// those spans. So every occurrence gets back exactly the background it had
// (its own, a bracket's, a link's or the page's), whatever was painted over
// it, and a link or bracket is never broken. A new paint takes an earlier one
// off first: there is never more than one in a page.
//
// The page answers later (through the bridge): results reach the caller's
// callback, and an answer about a page that has since been replaced is
// dropped (the caller hears -1 when the page was already gone).
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <cstddef>
#include <functional>
#include <string>

namespace velto {

class PageBridge;

class WordMarks : public QObject {
    Q_OBJECT
public:
    // Results beside the number of occurrences painted (0 or more).
    static constexpr int kFailed = -1;       // no word, or not the page meant
    static constexpr int kTooManyWords = -2; // more than kMaxWords words
    static constexpr std::size_t kMaxWords = 3;

    // A colour per word, as "#RRGGBB".
    using Colours = std::array<std::string, kMaxWords>;
    // Receives the result; may run before the call that asked returns.
    using Done = std::function<void(int)>;

    explicit WordMarks(PageBridge* bridge, QObject* parent = nullptr);

    // Paints every occurrence of each word of `text` (split as the search
    // splits, search/search_text.h) in the page whose address path is `page`,
    // the first word in colours[0] and so on, and scrolls the last occurrence
    // of the first word found to the top. The number painted; kTooManyWords
    // (nothing painted); kFailed. With at least one painted, `text` becomes
    // the find string.
    void mark(const std::string& text, const Colours& colours, const QString& page, Done done = {});
    // Takes the paint off the page `page`: the number of occurrences that
    // had been painted, or kFailed. The find string becomes empty.
    void clear(const QString& page, Done done = {});

    // The text painted in the page shown; empty when nothing is painted.
    const std::string& find_string() const { return find_string_; }
    // A new page is shown: its paint, if any, went with the old one.
    void page_replaced();

signals:
    // The find string changed.
    void findStringChanged();

private:
    void set_find_string(std::string text);

    PageBridge* bridge_;
    std::string find_string_;
    // Counts the pages shown; an answer about an earlier one is dropped.
    unsigned long long page_serial_ = 0;
};

} // namespace velto
