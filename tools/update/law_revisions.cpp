#include "tools/update/law_revisions.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace velto::update {

namespace {

std::string text_of(const QJsonObject& object, const char* key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isString())
        return value.toString().trimmed().toStdString();
    if (value.isDouble())
        return QString::number(value.toDouble()).toStdString();
    return {};
}

bool is_date(const std::string& text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    return form.match(QString::fromStdString(text)).hasMatch();
}

// The date a revision id carries: "325AC0000000201_20260401_…" -> "2026-04-01".
std::string date_in_revision_id(const std::string& id)
{
    static const QRegularExpression form(QStringLiteral("^[0-9A-Za-z]{15}_([0-9]{4})([0-9]{2})([0-9]{2})_"));
    const QRegularExpressionMatch match = form.match(QString::fromStdString(id));
    if (!match.hasMatch())
        return {};
    return (match.captured(1) + "-" + match.captured(2) + "-" + match.captured(3)).toStdString();
}

bool parse_object(const QByteArray& json, const char* answer, QJsonObject& object, std::string& error)
{
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject()) {
        error = std::string("the answer of ") + answer + " is not JSON" +
                (parse.error != QJsonParseError::NoError
                     ? " (" + parse.errorString().toStdString() + " at byte " + std::to_string(parse.offset) + ")"
                     : std::string());
        return false;
    }
    object = document.object();
    return true;
}

} // namespace

bool is_egov_law_id(std::string_view text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{3}[A-Z][0-9A-Za-z]{11}$"));
    return form.match(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))).hasMatch();
}

const Revision* LawRevisions::in_force() const
{
    for (const Revision& revision : revisions)
        if (revision.status == "CurrentEnforced")
            return &revision;
    return nullptr;
}

std::string LawRevisions::next_unenforced() const
{
    std::string earliest;
    for (const Revision& revision : revisions)
        if (revision.status == "UnEnforced" && !revision.enforced.empty() &&
            (earliest.empty() || revision.enforced < earliest))
            earliest = revision.enforced;
    return earliest;
}

bool parse_law_revisions(const QByteArray& json, LawRevisions& out, std::string& error)
{
    out = LawRevisions{};
    QJsonObject answer;
    if (!parse_object(json, "law_revisions", answer, error))
        return false;
    const QJsonObject info = answer.value(QLatin1String("law_info")).toObject();
    out.law_id = text_of(info, "law_id");
    out.law_num = text_of(info, "law_num");
    if (!is_egov_law_id(out.law_id) || out.law_num.empty()) {
        error = "the answer of law_revisions names no law (law_info.law_id, law_num)";
        return false;
    }
    const QJsonValue list = answer.value(QLatin1String("revisions"));
    if (!list.isArray()) {
        error = "the answer of law_revisions lists no editions (revisions)";
        return false;
    }
    for (const QJsonValue& item : list.toArray()) {
        const QJsonObject object = item.toObject();
        Revision revision;
        revision.id = text_of(object, "law_revision_id");
        revision.status = text_of(object, "current_revision_status");
        revision.title = text_of(object, "law_title");
        revision.enforced = text_of(object, "amendment_enforcement_date");
        if (!is_date(revision.enforced))
            revision.enforced = date_in_revision_id(revision.id);
        // Only a revision id of this law can be asked for; anything else would be another law's text.
        if (revision.id.compare(0, out.law_id.size() + 1, out.law_id + "_") != 0 ||
            revision.id.find_first_of("/?#%\\ ") != std::string::npos) {
            error = "the answer of law_revisions lists an edition \"" + revision.id.substr(0, 80) + "\" not of law " +
                    out.law_id;
            return false;
        }
        out.revisions.push_back(std::move(revision));
    }
    return true;
}

bool parse_found_laws(const QByteArray& json, std::vector<FoundLaw>& out, std::string& error)
{
    out.clear();
    QJsonObject answer;
    if (!parse_object(json, "laws", answer, error))
        return false;
    const QJsonValue list = answer.value(QLatin1String("laws"));
    if (!list.isArray()) {
        error = "the answer of laws lists no laws";
        return false;
    }
    for (const QJsonValue& item : list.toArray()) {
        const QJsonObject object = item.toObject();
        const QJsonObject info = object.value(QLatin1String("law_info")).toObject();
        QJsonObject revision = object.value(QLatin1String("current_revision_info")).toObject();
        if (revision.isEmpty())
            revision = object.value(QLatin1String("revision_info")).toObject();
        FoundLaw law{text_of(info, "law_id"), text_of(info, "law_num"), text_of(revision, "law_title")};
        if (is_egov_law_id(law.law_id))
            out.push_back(std::move(law));
    }
    return true;
}

} // namespace velto::update
