// What the law API's answers say: the editions of a law (/law_revisions) and
// the laws a title finds (/laws), read from their JSON.
//
// Any bytes may be given: an answer that is not JSON, or lacks what is needed
// (the law's id and number, each edition's revision id), is refused with a
// message, never half read. Which edition to fetch, and what to do with it, is
// the updater's (updater.h).
#pragma once

#include <QByteArray>

#include <string>
#include <vector>

namespace velto::update {

struct Revision {
    std::string id;        // law_revision_id: "325AC0000000201_20260401_507AC0000000068"
    std::string enforced;  // its 施行日, "YYYY-MM-DD": amendment_enforcement_date, else the date in the id
    std::string status;    // current_revision_status: CurrentEnforced, PreviousEnforced, UnEnforced, Repeal
    std::string title;     // law_title of that edition
};

struct LawRevisions {
    std::string law_id;  // law_info.law_id
    std::string law_num; // law_info.law_num: 昭和二十五年法律第二百一号
    std::vector<Revision> revisions; // newest first, as the service lists them

    // The edition in force today (CurrentEnforced); null when none is.
    const Revision* in_force() const;
    // The 施行日 of the earliest edition not yet in force (UnEnforced), empty when none.
    std::string next_unenforced() const;
};

// A law that /laws found.
struct FoundLaw {
    std::string law_id;
    std::string law_num;
    std::string title; // the title of its newest edition
};

bool parse_law_revisions(const QByteArray& json, LawRevisions& out, std::string& error);
bool parse_found_laws(const QByteArray& json, std::vector<FoundLaw>& out, std::string& error);

// True for a law id of e-Gov's form: three digits, a letter of its kind and
// eleven letters or digits ("325AC0000000201", "428M60000c00001").
bool is_egov_law_id(std::string_view text);

} // namespace velto::update
