#include "citations/cited_by.h"

#include "compose/html_format.h"
#include "citations/readable_text.h"
#include "compose/velto_doc.h"
#include "core/identifiers.h"
#include "core/sjis.h"
#include "core/sql_dialect.h"

#include <sqlite3.h>

#include <algorithm>

namespace velto {

namespace {

constexpr std::size_t kTargetWidth = 12;
constexpr std::string_view kEllipsis = "…";

// The law and the article, notification or table of a page: 建築基準法 第6条.
bool provision_label(const CVeltoDoc& doc, std::string_view page, std::string& law, std::string& label)
{
    IdKind kind;
    if (!CVeltoDoc::_id_kind(page, kind))
        return false;
    law = shown_text(doc._law_name(page.substr(0, 3), kLawNameGeneral));
    switch (kind) {
    case IdKind::Article: return CVeltoDoc::_article_label(page, label);
    case IdKind::Supplement: label = "附則"; return true;
    case IdKind::Notice: return CVeltoDoc::_notice_number_label(page, label, false);
    case IdKind::Table: return CVeltoDoc::_table_label(page, label);
    case IdKind::Special: return false;
    }
    return false;
}

} // namespace

ReverseLinkIndex::ReverseLinkIndex(CVeltoDoc& doc) : doc_(doc) {}

ReverseLinkIndex::~ReverseLinkIndex()
{
    stop_ = true;
    if (worker_.joinable())
        worker_.join();
}

void ReverseLinkIndex::open(bool wait, std::function<void(bool)> done)
{
    if (state_ != State::Closed)
        return;
    try {
        stored_ = has_link_index(doc_.database());
    } catch (const ComponentError& error) {
        std::lock_guard lock(failure_lock_);
        failure_ = error.description.value_or(error.meaning);
        state_ = State::Failed;
        if (done)
            done(false);
        return;
    }
    if (stored_) {
        state_ = State::Ready;
        if (done)
            done(true);
        return;
    }
    done_ = std::move(done);
    state_ = State::Building;
    if (wait)
        build(doc_.database_path());
    else
        worker_ = std::thread(&ReverseLinkIndex::build, this, doc_.database_path());
}

void ReverseLinkIndex::build(std::string path)
{
    // A connection of its own: the document's belongs to the thread that made it.
    sqlite3* db = nullptr;
    std::unordered_map<std::string, std::vector<SentenceLink>> links;
    std::string failure;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK)
        rc = register_sql_functions(db);
    if (rc != SQLITE_OK) {
        failure = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    } else {
        try {
            scan_sentence_links(db, [&](SentenceLink&& link) {
                std::string target = link.target;
                links[std::move(target)].push_back(std::move(link));
                return !stop_;
            });
        } catch (const ComponentError& error) {
            failure = error.description.value_or(error.meaning);
        }
    }
    sqlite3_close_v2(db);
    if (stop_)
        return;
    if (!failure.empty()) {
        {
            std::lock_guard lock(failure_lock_);
            failure_ = failure;
        }
        state_ = State::Failed;
    } else {
        for (auto& [target, list] : links)
            std::sort(list.begin(), list.end(),
                      [](const SentenceLink& a, const SentenceLink& b) { return a.sentence < b.sentence; });
        links_ = std::move(links);
        state_ = State::Ready;
    }
    if (done_)
        done_(state_ == State::Ready);
}

std::string ReverseLinkIndex::failure() const
{
    std::lock_guard lock(failure_lock_);
    return failure_;
}

std::vector<SentenceLink> ReverseLinkIndex::links_to(std::string_view target) const
{
    if (!ready())
        return {};
    if (!stored_) {
        const auto it = links_.find(std::string(target));
        return it == links_.end() ? std::vector<SentenceLink>{} : it->second;
    }
    std::vector<SentenceLink> out;
    auto rs = doc_.database().execute(
        format("SELECT ID_BN, アンカー, 表中 FROM T_引 WHERE 引用先 = '%s' ORDER BY ID_BN",
               sql_escape(target).c_str()));
    for (; !rs->eof(); rs->move_next())
        out.push_back({std::string(target), rs->text("ID_BN"), rs->text("アンカー"), rs->number("表中") != 0});
    return out;
}

void cut_excerpt(std::string_view text, std::size_t begin, std::size_t end, CitingSentence& out, std::size_t before,
                 std::size_t after)
{
    begin = std::min(begin, text.size());
    end = std::clamp(end, begin, text.size());
    const std::string_view head = text.substr(0, begin);
    const std::string_view tail = text.substr(end);
    const std::size_t head_length = utf8_length(head);
    out.before = head_length > before ? std::string(kEllipsis).append(utf8_substr(head, head_length - before, before))
                                      : std::string(head);
    out.reference = std::string(text.substr(begin, end - begin));
    out.after = utf8_length(tail) > after ? std::string(utf8_substr(tail, 0, after)).append(kEllipsis)
                                          : std::string(tail);
}

CitedByList cited_by(CVeltoDoc& doc, const ReverseLinkIndex& index, std::string_view page_id)
{
    CitedByList list;
    std::string law, label;
    if (page_id.size() != kPageScope || !provision_label(doc, page_id, law, label)) {
        list.message = "このページは引用される条文ではありません。";
        return list;
    }
    list.subject = law + " " + label;
    if (index.failed()) {
        list.message = "引用の索引を作ることができませんでした。\n" + index.failure();
        return list;
    }
    if (!index.ready()) {
        list.message = "引用の索引を作っています。しばらくお待ち下さい。";
        return list;
    }
    try {
        for (const SentenceLink& link : index.links_to(page_id.substr(0, kTargetWidth))) {
            CitingSentence row;
            row.page = link.sentence.substr(0, kPageScope);
            std::string supplement;
            if (!doc._page_names(row.page, row.caption, supplement))
                continue; // a page the reader does not show
            row.caption = shown_text(row.caption);
            if (row.caption == "なし")
                row.caption.clear();
            if (!provision_label(doc, row.page, row.law, row.label))
                continue;
            row.sentence = link.sentence;
            row.anchor = link.anchor;
            const std::string html = marked_links_html(doc.database(), link.sentence, link.in_table);
            const ReadableText words = readable_text(html, link.anchor);
            if (words.reference_begin == std::string::npos)
                cut_excerpt(words.text, 0, 0, row);
            else
                cut_excerpt(words.text, words.reference_begin, words.reference_end, row);
            list.sentences.push_back(std::move(row));
        }
    } catch (const ComponentError& error) {
        list.sentences.clear();
        list.message = "引用の索引を読むことができませんでした。\n" + error.description.value_or(error.meaning);
        return list;
    }
    if (list.sentences.empty())
        list.message = list.subject + " を引用している条文はありません。";
    return list;
}

} // namespace velto
