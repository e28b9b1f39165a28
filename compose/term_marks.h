// The defined terms of the page being composed: the document asks for them
// once a page (in the page's read transaction) and marks each sentence and
// table with them (terms/term_marker.h). What the terms are, and where each
// holds, is the book's (terms/term_book.h). The terms of a law are read once,
// at its first page, and kept with the connection.
//
// A database without a terms table marks nothing; a failure reading the
// terms leaves the page unmarked, never unbuilt.
#pragma once

#include "terms/term_book.h"
#include "terms/term_marker.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace velto {

class TermMarks {
public:
    // `db` must outlive the marks.
    explicit TermMarks(Database& db) : book_(db) {}

    // Reads the terms of page `id_fn`; false when there is nothing to mark.
    bool begin(std::string_view id_fn);
    // Marks the uses in the HTML of sentence `id_bn` (its text or its table).
    void mark(std::string& html, std::string_view id_bn) const
    {
        if (marker_)
            marker_->mark(html, id_bn);
    }
    // Marks nothing until the next begin.
    void end() { marker_ = nullptr; }

    TermBook& book() { return book_; }

private:
    TermBook book_;
    std::map<std::string, std::unique_ptr<TermMarker>, std::less<>> by_law_; // null: nothing to mark
    const TermMarker* marker_ = nullptr;
};

} // namespace velto
