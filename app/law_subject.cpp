#include "app/law_subject.h"

#include "compose/velto_doc.h"

namespace velto {

std::string law_named(const CVeltoDoc& doc, const std::string& subject)
{
    const auto& order = doc.laws().order();
    for (const std::string& law : order)
        if (subject == law)
            return law;
    for (const std::string& law : order)
        for (int type : {kLawNameGeneral, kLawNameAbbreviated, kLawNameOfficial})
            if (doc._law_name(law, type) == subject)
                return law;
    return {};
}

bool is_page_id(const std::string& subject)
{
    IdKind kind;
    return subject.size() == kPageScope && CVeltoDoc::_id_kind(subject, kind);
}

} // namespace velto
