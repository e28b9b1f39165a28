#include "tools/update/updater.h"

#include "tools/dbbuild/db_builder.h"
#include "tools/import/importer.h"
#include "tools/import/law_text.h"
#include "tools/import/law_writer.h"
#include "tools/update/api_address.h"
#include "tools/update/edition_changes.h"
#include "tools/update/law_codes.h"
#include "tools/update/law_revisions.h"
#include "tools/update/law_text_check.h"
#include "tools/update/stored_laws.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

namespace velto::update {

namespace {

constexpr char kLatest[] = "最新です";
constexpr char kNewer[] = "新しい版があります";
constexpr char kNoneInForce[] = "施行中の版がありません";

std::string unenforced_note(const std::string& date) { return "未施行の改正があります（" + date + "施行）"; }

std::string label(const std::string& code, const std::string& title) { return code + " " + title; }

// Whether the edition in force is newer than the stored text: a later 施行日,
// or another revision of the same day (a correction the service published).
bool is_newer(const Revision& in_force, const StoredLaw& law)
{
    return in_force.enforced > law.enforced || (in_force.enforced == law.enforced && in_force.id != law.revision);
}

std::string megabytes(std::int64_t bytes) { return QString::number(bytes / 1e6, 'f', 2).toStdString() + " MB"; }

} // namespace

struct Updater::Plan {
    StoredLaw law;           // the law as the database has it (code and law id for a law added)
    LawRevisions revisions;
    Revision target;         // the edition to fetch
    std::string file;        // where its text was kept
    import::LawRows rows;
};

Updater::Updater(UpdaterOptions options, Sink out, Sink err)
    : options_(std::move(options)), out_(std::move(out)), err_(std::move(err)),
      client_(options_.api, options_.client, [this](const RequestReport& r) {
          err_("velto-update: " + r.what + ": " + r.path + ": " + (r.status ? std::to_string(r.status) : "-") + ", " +
               std::to_string(r.bytes) + " bytes, " + QString::number(r.seconds, 'f', 2).toStdString() + " s");
      })
{
}

int Updater::fail(const std::string& message)
{
    err_("velto-update: " + message);
    err_("velto-update: the database is unchanged");
    return 1;
}

void Updater::summary(const std::string& what)
{
    err_("velto-update: " + what + "; " + std::to_string(client_.requests()) + " requests, " +
         megabytes(client_.bytes()));
}

bool Updater::fetch_revisions(const std::string& what, const std::string& law_id, LawRevisions& revisions)
{
    QByteArray body;
    std::string error;
    if (!client_.get(what, revisions_url(options_.api, law_id), &body, nullptr, error)) {
        err_("velto-update: " + error);
        return false;
    }
    if (parse_law_revisions(body, revisions, error)) {
        if (revisions.law_id == law_id)
            return true;
        error = "the answer of law_revisions is of law " + revisions.law_id + ", not of " + law_id;
    }
    err_("velto-update: " + what + ": " + revisions_url(options_.api, law_id).path().toStdString() + ": " + error);
    return false;
}

bool Updater::fetch_text(const Plan& plan, const std::string& folder, std::string& file)
{
    const std::string what = label(plan.law.code, plan.law.title);
    const QUrl url = law_file_url(options_.api, plan.target.id);
    file = folder + "/" + plan.target.id + ".xml"; // the name tells the importer the edition
    QFile out(QString::fromStdString(file));
    std::string error;
    if (!out.open(QIODevice::WriteOnly)) {
        err_("velto-update: " + what + ": cannot keep the text in " + file);
        return false;
    }
    const bool fetched = client_.get(what, url, nullptr, &out, error);
    out.close();
    if (!fetched) {
        err_("velto-update: " + error);
        return false;
    }
    std::string bytes;
    import::LawDocument document;
    if (!read_input_file(file, bytes, error) || !import::read_document(bytes, file, document, error) ||
        !is_text_of_law(document, plan.revisions.law_id, plan.revisions.law_num, error)) {
        err_("velto-update: " + what + ": " + url.path().toStdString() + ": " + error);
        return false;
    }
    return true;
}

int Updater::check()
{
    StoredCollection stored;
    std::string error;
    if (!read_stored_collection(options_.database, stored, error))
        return fail(error);
    int newer = 0;
    for (const StoredLaw& law : stored.laws) {
        LawRevisions revisions;
        if (!fetch_revisions(label(law.code, law.title), law.law_id, revisions))
            return fail("check stopped at " + label(law.code, law.title));
        const Revision* in_force = revisions.in_force();
        std::string line = law.code + "\t" + law.title + "\t" + law.enforced + "\t" +
                           (in_force ? in_force->enforced : std::string()) + "\t" +
                           (!in_force ? kNoneInForce : is_newer(*in_force, law) ? kNewer : kLatest);
        newer += in_force && is_newer(*in_force, law);
        if (const std::string next = revisions.next_unenforced(); !next.empty() && next > law.enforced)
            line += "\t" + unenforced_note(next);
        out_(line);
    }
    summary(std::to_string(stored.laws.size()) + " laws checked, " + std::to_string(newer) + " with a newer edition");
    err_("velto-update: the database is unchanged");
    return 0;
}

int Updater::update(const std::vector<std::string>& codes)
{
    StoredCollection stored;
    std::string error;
    if (!read_stored_collection(options_.database, stored, error))
        return fail(error);
    std::vector<const StoredLaw*> chosen;
    for (const std::string& code : codes) {
        const auto it = std::find_if(stored.laws.begin(), stored.laws.end(),
                                     [&code](const StoredLaw& law) { return law.code == code; });
        if (it == stored.laws.end())
            return fail("law " + code + " is not in the database with an e-Gov law id (velto --version lists them)");
        chosen.push_back(&*it);
    }
    if (codes.empty())
        for (const StoredLaw& law : stored.laws)
            chosen.push_back(&law);

    std::vector<std::unique_ptr<Plan>> plans;
    for (const StoredLaw* law : chosen) {
        auto plan = std::make_unique<Plan>();
        plan->law = *law;
        if (!fetch_revisions(label(law->code, law->title), law->law_id, plan->revisions))
            return fail("nothing was updated");
        const Revision* in_force = plan->revisions.in_force();
        if (!in_force || !is_newer(*in_force, *law)) {
            if (!codes.empty())
                out_(law->code + "\t" + law->title + "\t" + law->enforced + "\t" +
                     (in_force ? in_force->enforced : std::string()) + "\t" + (in_force ? kLatest : kNoneInForce));
            continue;
        }
        plan->target = *in_force;
        plans.push_back(std::move(plan));
    }
    if (plans.empty()) {
        summary(std::to_string(chosen.size()) + " laws checked, none to update");
        err_("velto-update: the database is unchanged");
        return 0;
    }

    QTemporaryDir folder;
    if (!folder.isValid())
        return fail("cannot make a folder for the fetched texts: " + folder.errorString().toStdString());
    import::LawWrite write;
    write.keep_replaced = true;
    for (auto& plan : plans) {
        if (!fetch_text(*plan, folder.path().toStdString(), plan->file))
            return fail("nothing was updated");
        import::ImportOptions options;
        options.database = options_.database;
        options.input = plan->file;
        options.law_id = plan->law.code;
        if (!import::prepare_law(options, plan->rows, error))
            return fail(label(plan->law.code, plan->law.title) + ": " + error);
        plan->rows.law.name_short = plan->law.name_short; // the short name the database gave it stays
        write.current.push_back(&plan->rows);
    }
    if (!import::write_laws(options_.database, write, error))
        return fail(error);

    for (const auto& plan : plans) {
        std::string line = plan->law.code + "\t" + plan->law.title + "\t" + plan->law.enforced + "\t" +
                           plan->target.enforced + "\t";
        std::string counts;
        if (describe_article_changes(options_.database, plan->law.code, plan->law.revision, counts, error))
            line += counts;
        else
            err_("velto-update: " + error);
        out_(line);
    }
    summary(std::to_string(chosen.size()) + " laws checked, " + std::to_string(plans.size()) +
            " updated (the replaced editions are kept as earlier ones)");
    return 0;
}

int Updater::add(const std::string& wanted, const std::string& code)
{
    StoredCollection stored;
    std::string error;
    if (!read_stored_collection(options_.database, stored, error))
        return fail(error);
    if (!code.empty() && (!import::is_law_id(code) || code == "00A"))
        return fail("--law-code \"" + code + "\": a law code is three letters or digits, such as 16A (not 00A)");
    if (!code.empty() && stored.codes.count(code))
        return fail("--law-code " + code + " is in use: give a free code, or none to have one chosen");

    std::string law_id = wanted;
    if (!is_egov_law_id(wanted)) {
        QByteArray body;
        if (!client_.get(wanted, laws_by_title_url(options_.api, wanted), &body, nullptr, error))
            return fail(error);
        std::vector<FoundLaw> found;
        if (!parse_found_laws(body, found, error))
            return fail(wanted + ": " + error);
        std::vector<FoundLaw> exact;
        for (const FoundLaw& law : found)
            if (law.title == wanted)
                exact.push_back(law);
        if (exact.size() != 1)
            exact.swap(found);
        if (exact.empty())
            return fail("no law is titled, or has a title holding, \"" + wanted + "\"");
        if (exact.size() > 1) {
            std::string names;
            for (std::size_t i = 0; i < exact.size() && i < 10; ++i)
                names += "\n  " + exact[i].law_id + "  " + exact[i].title;
            return fail("\"" + wanted + "\" finds " + std::to_string(exact.size()) +
                        " laws; name one by its law id:" + names);
        }
        law_id = exact.front().law_id;
    }
    for (const StoredLaw& law : stored.laws)
        if (law.law_id == law_id)
            return fail(law_id + " is in the database already, as " + label(law.code, law.title) +
                        " (velto-update --update " + law.code + " brings it up to date)");

    Plan plan;
    plan.law.law_id = law_id;
    plan.law.code = code.empty() ? "(new)" : code;
    if (!fetch_revisions(law_id, law_id, plan.revisions))
        return fail("nothing was added");
    const Revision* in_force = plan.revisions.in_force();
    if (!in_force)
        return fail(law_id + ": no edition of the law is in force");
    plan.target = *in_force;
    plan.law.title = in_force->title;
    if (code.empty()) {
        plan.law.code = free_law_code(plan.law.title, stored.codes, stored.families, error);
        if (plan.law.code.empty())
            return fail(error);
    }
    QTemporaryDir folder;
    if (!folder.isValid())
        return fail("cannot make a folder for the fetched text: " + folder.errorString().toStdString());
    if (!fetch_text(plan, folder.path().toStdString(), plan.file))
        return fail("nothing was added");
    import::ImportOptions options;
    options.database = options_.database;
    options.input = plan.file;
    options.law_id = plan.law.code;
    if (!import::prepare_law(options, plan.rows, error))
        return fail(label(plan.law.code, plan.law.title) + ": " + error);
    if (!import::write_laws(options_.database, import::LawWrite{{&plan.rows}, {}, false}, error))
        return fail(error);
    out_(plan.law.code + "\t" + plan.rows.revision.title + "\t" + plan.target.enforced + "\t追加しました（" +
         std::to_string(plan.rows.articles) + "条）");
    summary("1 law added as " + plan.law.code);
    return 0;
}

} // namespace velto::update
