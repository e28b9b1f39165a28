// The sentences that cite an article: every sentence of the pages the reader
// shows whose text or table links to the article (any of its pages, its
// paragraphs), with the law, the article, its caption and an excerpt of the
// sentence around the link.
//
// The links come from the reverse index (citations/link_index.h): from the
// table T_引 when the database holds it, else from an index built once, in
// the background, on a connection of its own. Until that index is there
// the list cannot be made (ready() is false); the reader keeps its command
// disabled until then.
#pragma once

#include "citations/link_index.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

namespace velto {

class CVeltoDoc;

class ReverseLinkIndex {
public:
    // `doc` must be started and outlive the index.
    explicit ReverseLinkIndex(CVeltoDoc& doc);
    // Stops a build under way and waits for it.
    ~ReverseLinkIndex();
    ReverseLinkIndex(const ReverseLinkIndex&) = delete;
    ReverseLinkIndex& operator=(const ReverseLinkIndex&) = delete;

    // Uses the stored index when the database has one; otherwise builds one,
    // on a thread of its own unless `wait`. `done` is called once the index
    // can be used or has failed (on the building thread; at once when it
    // was stored or built here). Called again, it does nothing.
    void open(bool wait, std::function<void(bool ok)> done = {});

    bool ready() const { return state_ == State::Ready; }
    bool failed() const { return state_ == State::Failed; }
    bool stored() const { return stored_; }
    // Why the index could not be made; empty while nothing failed.
    std::string failure() const;

    // The links to the article `target` (12 characters), by sentence; empty
    // before ready(). Throws ComponentError when the stored index cannot be read.
    std::vector<SentenceLink> links_to(std::string_view target) const;

private:
    enum class State { Closed, Building, Ready, Failed };
    void build(std::string path);

    CVeltoDoc& doc_;
    std::atomic<State> state_{State::Closed};
    std::atomic<bool> stop_{false};
    bool stored_ = false;
    std::function<void(bool)> done_;
    std::thread worker_;
    mutable std::mutex failure_lock_;
    std::string failure_;
    // Written by the builder before ready, only read afterwards.
    std::unordered_map<std::string, std::vector<SentenceLink>> links_;
};

// One citing sentence, for the list.
struct CitingSentence {
    std::string page;     // ID_FN of the page that shows it
    std::string sentence; // its ID_BN (the id of its block in the page)
    std::string anchor;   // the id of its link in the page
    std::string law;      // 法名一般 of its law
    std::string label;    // 第6条の2, 附則, 別表第1, 平成12年建設省告示第1400号 ...
    std::string caption;  // the article's name; empty when it has none
    // The sentence around the link (at most a line of it, "…" where it is
    // cut), in three parts: the link's own words are `reference`.
    std::string before;
    std::string reference;
    std::string after;
};

struct CitedByList {
    std::string subject; // the article cited: 建築基準法 第6条
    std::vector<CitingSentence> sentences;
    // Why the list is empty: nothing cites the article, the page is not one
    // that can be cited, the index is not ready or cannot be read.
    std::string message;
};

// The sentences that cite the article of page `page_id` (an ID_FN), in the
// order of their laws and articles. Only pages the reader shows are listed.
// Failures end in `message`; nothing is reported.
CitedByList cited_by(CVeltoDoc& doc, const ReverseLinkIndex& index, std::string_view page_id);

// The excerpt of `text` around [begin, end): about `before` characters in
// front and `after` behind, "…" where cut. Positions are byte offsets on
// character boundaries.
void cut_excerpt(std::string_view text, std::size_t begin, std::size_t end, CitingSentence& out,
                 std::size_t before = 30, std::size_t after = 50);

} // namespace velto
