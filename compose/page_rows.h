// The table pieces and reference rows of one page, read ahead.
//
// A page of a hundred sentences would otherwise run two statements a
// sentence; here each table is read once for the whole page, with a range
// statement over the identifiers that begin with the page's, inside the
// page's read transaction. The rows come in the order the per-sentence
// statements give them (by sentence, then 順序, then as stored), so a page
// composed from them is the same byte for byte.
//
// What the rows mean is left to the composers (inserted_html.cpp,
// reference_block.cpp). A page identifier that cannot bound a range, or a
// statement that fails, leaves the rows unread: the composers then read each
// sentence's rows as before and report what fails there. Never throws.
#pragma once

#include "core/database.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velto {

// A row of T_参 joined with the article it points to.
struct ReferenceRow {
    std::string target;  // T_条.ID_FN: empty when the article is missing
    std::string keyword; // キーワード
    std::string place;   // 場所
    std::string aux;     // 補助
    std::string remark;  // 備考
    std::string caption; // 条名 of the target
    std::int32_t active = 0;     // 有効
    std::int32_t emphasise = 0;  // 強調
    std::int32_t in_table = 0;   // 表中
    std::int32_t automatic = 0;  // 自動
    std::int32_t which = 0;      // 選定
};

// The fields of the current row of a reference statement. Throws ComponentError.
ReferenceRow reference_row(const Recordset& rs);

// The reference statement of one sentence, as the reader has always run it.
std::string reference_statement(std::string_view id_bn);

class PageRows {
public:
    // The rows of the sentences of `page`; each table is read on the first
    // question about it, so a page without tables or references runs no
    // statement for them. With `references` false no reference row is read.
    PageRows(Database& db, std::string_view page, bool references);

    // The table pieces of a sentence (a null piece as nullopt), or null when
    // they cannot be read ahead.
    const std::vector<std::optional<std::string>>* tables(std::string_view id_bn);
    // The reference rows of a sentence, or null when they cannot be read ahead.
    const std::vector<ReferenceRow>* references(std::string_view id_bn);

private:
    enum class State { Unread, Read, Failed };
    bool covers(std::string_view id_bn) const;
    void read_tables();
    void read_references();

    Database& db_;
    std::string page_;
    std::string upper_; // every identifier of the page sorts below it; empty: none can be bounded
    State tables_state_ = State::Unread;
    State references_state_ = State::Unread;
    std::unordered_map<std::string, std::vector<std::optional<std::string>>> tables_;
    std::unordered_map<std::string, std::vector<ReferenceRow>> references_;
};

} // namespace velto
