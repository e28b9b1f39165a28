// The official files the reader's folder is built from, as data/official/
// collection.txt names them, each read straight from its unpacked file in
// build/official/ and independently of the importer: its title, law number,
// edition and what it holds (articles of the main provision, appended tables).
#pragma once

#include <QJsonObject>
#include <QString>

#include <string>
#include <vector>

namespace velto::test {

struct OfficialFile {
    std::string law;  // the code the manifest gives it
    bool earlier = false;
    std::string file; // the name in build/official/
    QString title;    // LawTitle
    QString number;   // LawNum
    std::string revision; // 版ID, from revision_info or the e-Gov file name
    std::string enforced; // "YYYY-MM-DD", likewise
    int main_articles = 0;    // Article elements under MainProvision
    int appendix_tables = 0;  // AppdxTable elements
};

// Every file of the manifest, in its order; empty when the manifest or a file
// cannot be read (the test that asks then fails).
const std::vector<OfficialFile>& official_collection();

// The law tree (the Law node in the law API's JSON shape) of a file in build/official/.
QJsonObject official_tree(const std::string& file);

} // namespace velto::test
