#include "tests/program/official_collection.h"

#include "tests/fixtures.h"
#include "tests/program/program_folders.h"
#include "tests/tools/import_fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <fstream>
#include <sstream>

namespace velto::test {

namespace {

QString text_of(const QJsonValue& value)
{
    if (value.isString())
        return value.toString();
    QString text;
    for (const QJsonValue& child : value.toObject().value("children").toArray())
        text += text_of(child);
    return text;
}

void count(const QJsonObject& node, bool in_main, OfficialFile& out)
{
    const QString tag = node.value("tag").toString();
    in_main = in_main || tag == "MainProvision";
    out.main_articles += in_main && tag == "Article";
    out.appendix_tables += tag == "AppdxTable";
    if (tag == "LawTitle")
        out.title = text_of(node);
    if (tag == "LawNum")
        out.number = text_of(node);
    for (const QJsonValue& child : node.value("children").toArray())
        if (child.isObject())
            count(child.toObject(), in_main, out);
}

} // namespace

QJsonObject official_tree(const std::string& file)
{
    const std::string bytes = read_file(kOfficialDir + file);
    if (file.size() > 4 && file.substr(file.size() - 4) == ".xml")
        return tree_of_xml(bytes);
    return QJsonDocument::fromJson(QByteArray::fromStdString(bytes)).object().value("law_full_text").toObject();
}

const std::vector<OfficialFile>& official_collection()
{
    static const std::vector<OfficialFile> files = [] {
        std::vector<OfficialFile> all;
        std::ifstream manifest(VELTO_SOURCE_DIR "/data/official/collection.txt");
        static const QRegularExpression egov_name("^([0-9]{3}[A-Z][0-9A-Za-z]{11})_([0-9]{4})([0-9]{2})([0-9]{2})_[0-9A-Za-z]{15}");
        for (std::string line; std::getline(manifest, line);) {
            std::istringstream fields(line.substr(0, line.find('#')));
            OfficialFile f;
            std::string edition;
            if (!(fields >> f.law >> edition >> f.file))
                continue;
            f.earlier = edition == "earlier";
            const QJsonObject tree = official_tree(f.file);
            if (tree.isEmpty())
                return std::vector<OfficialFile>{};
            count(tree, false, f);
            const QRegularExpressionMatch name = egov_name.match(QString::fromStdString(f.file));
            if (name.hasMatch()) {
                f.revision = name.captured(0).toStdString();
                f.enforced = (name.captured(2) + "-" + name.captured(3) + "-" + name.captured(4)).toStdString();
            } else {
                const QJsonObject revision = QJsonDocument::fromJson(QByteArray::fromStdString(read_file(kOfficialDir + f.file)))
                                                 .object().value("revision_info").toObject();
                f.revision = revision.value("law_revision_id").toString().toStdString();
                f.enforced = revision.value("amendment_enforcement_date").toString().toStdString();
            }
            all.push_back(std::move(f));
        }
        return all;
    }();
    return files;
}

} // namespace velto::test
