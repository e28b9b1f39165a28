// What the importer's tests share: a small law with a little of everything the
// mapping knows, an independent reading of the official forms, and lookups in
// the rows and databases the importer writes.
#pragma once

#include "compose/velto_doc.h"
#include "tools/import/importer.h"

#include <QJsonObject>

#include <map>
#include <string>
#include <vector>

namespace velto::test {

// A small law that has a little of everything the mapping knows.
extern const std::string kLaw;

// `text` with the first `from` replaced by `to` (a failure when there is none).
std::string replaced(std::string text, const std::string& from, const std::string& to);
// The law tree of an XML text in the shape of the law API's JSON.
QJsonObject tree_of_xml(const std::string& xml_text);
// A law API answer holding the law of `xml_text`.
std::string api_json(const std::string& xml_text);
velto::import::LawRows rows_of(const std::string& bytes,
                               const velto::import::MapOptions& options = {"01A", {}, 60, {}});
const velto::import::SentenceRow* sentence(const velto::import::LawRows& rows, const std::string& id);
const velto::import::PageRow* page(const velto::import::LawRows& rows, const std::string& id);
std::vector<std::string> sentence_ids(const velto::import::LawRows& rows, const std::string& page_id);
// The reader's numbering tag of a sentence: the label of its deepest level.
std::string tag_of(const std::string& id_bn, const std::string& style = {});
// The citations of sentence `id_bn` in the database at `path`: the links in
// their order ("法第九条 05A-00090000-00", with " -0100-0000-0000-0000" when
// it names a paragraph or item), then those left plain ("第十条 (存在しない規定)").
std::vector<std::string> citations_in(const std::string& path, const std::string& id_bn);
// The column "id" of every row of a statement on the database at `path`.
std::vector<std::string> ids_in(const std::string& path, const std::string& sql);
// Every page of the program folder `dir`, composed with reference blocks and
// bracket colours on; a page that does not compose, or reports, fails the test.
std::map<std::string, std::string> composed_pages(const std::string& dir);

} // namespace velto::test
