#include "compose/page_rows.h"

#include "core/text_format.h"

namespace velto {

namespace {

// Every identifier that begins with `page` sorts at or after it and before
// `page` with its last byte one higher; empty when no such bound exists.
std::string upper_bound_of(std::string_view page)
{
    if (page.empty() || static_cast<unsigned char>(page.back()) == 0xFF)
        return {};
    std::string bound(page);
    bound.back() = static_cast<char>(static_cast<unsigned char>(bound.back()) + 1);
    return bound;
}

} // namespace

ReferenceRow reference_row(const Recordset& rs)
{
    ReferenceRow row;
    row.target = rs.text("T_条.ID_FN");
    row.keyword = rs.text("キーワード");
    row.place = rs.text("場所");
    row.aux = rs.text("補助");
    row.remark = rs.text("備考");
    row.caption = rs.text("条名");
    row.active = rs.number("有効");
    row.emphasise = rs.number("強調");
    row.in_table = rs.number("表中");
    row.automatic = rs.number("自動");
    row.which = rs.number("選定");
    return row;
}

std::string reference_statement(std::string_view id_bn)
{
    return format("SELECT * FROM T_参 LEFT JOIN T_条 ON T_参.ID_FN = T_条.ID_FN WHERE T_参.ID_BN = "
                  "'%s' AND T_参.表示 = YES ORDER BY T_参.順序",
                  sql_escape(id_bn).c_str());
}

PageRows::PageRows(Database& db, std::string_view page, bool references)
    : db_(db), page_(page), upper_(upper_bound_of(page))
{
    if (upper_.empty())
        tables_state_ = references_state_ = State::Failed;
    if (!references)
        references_state_ = State::Failed;
}

void PageRows::read_tables()
{
    try {
        auto rs = db_.execute("SELECT * FROM T_表 WHERE ID_BN >= '" + sql_escape(page_) + "' AND ID_BN < '" +
                              sql_escape(upper_) + "' ORDER BY ID_BN, 順序, rowid");
        for (; !rs->eof(); rs->move_next()) {
            auto& pieces = tables_[rs->text("ID_BN")];
            if (rs->is_null("表式データ"))
                pieces.emplace_back();
            else
                pieces.emplace_back(rs->text("表式データ"));
        }
        tables_state_ = State::Read;
    } catch (const std::exception&) {
        tables_.clear();
        tables_state_ = State::Failed;
    }
}

void PageRows::read_references()
{
    try {
        auto rs = db_.execute("SELECT * FROM T_参 LEFT JOIN T_条 ON T_参.ID_FN = T_条.ID_FN WHERE T_参.ID_BN >= '" +
                              sql_escape(page_) + "' AND T_参.ID_BN < '" + sql_escape(upper_) +
                              "' AND T_参.表示 = YES ORDER BY T_参.ID_BN, T_参.順序, T_参.rowid");
        for (; !rs->eof(); rs->move_next())
            references_[rs->text("T_参.ID_BN")].push_back(reference_row(*rs));
        references_state_ = State::Read;
    } catch (const std::exception&) {
        references_.clear();
        references_state_ = State::Failed;
    }
}

bool PageRows::covers(std::string_view id_bn) const { return id_bn.substr(0, page_.size()) == page_; }

const std::vector<std::optional<std::string>>* PageRows::tables(std::string_view id_bn)
{
    if (tables_state_ == State::Unread)
        read_tables();
    if (tables_state_ != State::Read || !covers(id_bn))
        return nullptr;
    static const std::vector<std::optional<std::string>> kNone;
    const auto it = tables_.find(std::string(id_bn));
    return it == tables_.end() ? &kNone : &it->second;
}

const std::vector<ReferenceRow>* PageRows::references(std::string_view id_bn)
{
    if (references_state_ == State::Unread)
        read_references();
    if (references_state_ != State::Read || !covers(id_bn))
        return nullptr;
    static const std::vector<ReferenceRow> kNone;
    const auto it = references_.find(std::string(id_bn));
    return it == references_.end() ? &kNone : &it->second;
}

} // namespace velto
