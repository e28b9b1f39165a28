#include "tools/import/collection.h"

#include "catalog/law_family.h"
#include "core/database.h"
#include "tools/dbbuild/db_builder.h"
#include "tools/import/importer.h"
#include "tools/import/law_writer.h"
#include "tools/import/references.h"

#include <QFileInfo>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace velto::import {

namespace {

constexpr std::size_t kManifestLimit = 1 << 20;

std::vector<std::string> fields_of(std::string_view line)
{
    std::vector<std::string> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t' || line[pos] == '\r'))
            ++pos;
        const std::size_t end = line.find_first_of(" \t\r", pos);
        if (pos < line.size())
            fields.emplace_back(line.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
        pos = end == std::string_view::npos ? line.size() : end;
    }
    return fields;
}

// One file of the collection on its way into the database.
struct Item {
    const ManifestEntry* entry = nullptr;
    LawDocument document;
    LawRows rows;
};

std::string where(const CollectionOptions& options, const ManifestEntry& entry)
{
    return options.manifest + ":" + std::to_string(entry.line);
}

} // namespace

bool parse_manifest(std::string_view text, const std::string& source, std::vector<ManifestEntry>& entries,
                    std::string& error)
{
    entries.clear();
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        const std::vector<std::string> fields = fields_of(line);
        if (fields.empty())
            continue;
        const auto fault = [&](const std::string& what) {
            error = source + ":" + std::to_string(number) + ": " + what;
            entries.clear();
            return false;
        };
        if (fields.size() < 3 || fields.size() > 4)
            return fault("write CODE current|earlier FILE [SHORT-NAME]");
        ManifestEntry entry;
        entry.law = fields[0];
        entry.line = number;
        if (!is_law_id(entry.law) || entry.law == "00A")
            return fault("\"" + entry.law + "\" is not a law code such as 01A (00A holds the reader's own pages)");
        if (fields[1] != "current" && fields[1] != "earlier")
            return fault("\"" + fields[1] + "\": the edition is \"current\" or \"earlier\"");
        entry.earlier = fields[1] == "earlier";
        entry.file = fields[2];
        if (fields.size() == 4)
            entry.name_short = fields[3];
        entries.push_back(std::move(entry));
    }
    if (entries.empty()) {
        error = source + ": names no law file";
        return false;
    }
    return true;
}

bool import_collection(const CollectionOptions& options, CollectionSummary& summary, std::string& error)
{
    summary = CollectionSummary{};
    if (options.database.empty()) {
        error = "no database file (--db FILE)";
        return false;
    }
    std::string text;
    if (!read_input_file(options.manifest, text, error, kManifestLimit))
        return false;
    std::vector<ManifestEntry> entries;
    if (!parse_manifest(text, options.manifest, entries, error))
        return false;
    const std::string folder =
        options.folder.empty() ? QFileInfo(QString::fromStdString(options.manifest)).absolutePath().toStdString() : options.folder;

    // Read every file before anything is written.
    std::vector<std::unique_ptr<Item>> items;
    for (const ManifestEntry& entry : entries) {
        auto item = std::make_unique<Item>();
        item->entry = &entry;
        const std::string path = !entry.file.empty() && entry.file[0] == '/' ? entry.file : folder + "/" + entry.file;
        std::string bytes;
        if (!read_input_file(path, bytes, error) || !read_document(bytes, path, item->document, error)) {
            error = where(options, entry) + ": " + error;
            return false;
        }
        items.push_back(std::move(item));
    }

    // Each law once, under one code: a code given two texts of one law keeps
    // the later line, as two imports in a row would; anything else is a mistake.
    std::map<std::string, Item*> current;             // by code
    std::map<std::string, const Item*> code_of_law_id; // by law ID
    for (const auto& item : items) {
        const ManifestEntry& entry = *item->entry;
        if (entry.earlier)
            continue;
        const std::string& law_id = item->document.facts.law_id;
        if (const auto before = current.find(entry.law); before != current.end()) {
            const std::string& earlier_id = before->second->document.facts.law_id;
            if (law_id.empty() || earlier_id.empty() || law_id != earlier_id) {
                error = where(options, entry) + ": " + entry.law + " has a current text of another law already (line " +
                        std::to_string(before->second->entry->line) + ")";
                return false;
            }
            summary.notes.push_back(where(options, *before->second->entry) + ": " + before->second->entry->file +
                                    " passed over: line " + std::to_string(entry.line) + " gives " + entry.law +
                                    " again");
            before->second->entry = nullptr; // passed over
            before->second = item.get();
            if (!law_id.empty())
                code_of_law_id[law_id] = item.get();
            continue;
        }
        current[entry.law] = item.get();
        if (law_id.empty())
            continue;
        const auto [it, added] = code_of_law_id.emplace(law_id, item.get());
        if (!added) {
            error = where(options, entry) + ": " + item->document.title + " (" + law_id + ") is " +
                    it->second->entry->law + " already (line " + std::to_string(it->second->entry->line) + ")";
            return false;
        }
    }
    std::erase_if(items, [](const std::unique_ptr<Item>& item) { return item->entry == nullptr; });
    for (const auto& item : items) {
        const ManifestEntry& entry = *item->entry;
        if (!entry.earlier)
            continue;
        const auto own_item = current.find(entry.law);
        if (own_item == current.end()) {
            error = where(options, entry) + ": an earlier edition of " + entry.law + ", which has no current text here";
            return false;
        }
        const Item& own = *own_item->second;
        const DocumentFacts& facts = item->document.facts;
        if (!facts.law_id.empty() && !own.document.facts.law_id.empty() && facts.law_id != own.document.facts.law_id) {
            error = where(options, entry) + ": " + entry.file + " is " + facts.law_id + ", not an edition of " +
                    entry.law + " (" + own.document.facts.law_id + ")";
            return false;
        }
        if (!facts.revision_id.empty() && facts.revision_id == own.document.facts.revision_id) {
            error = where(options, entry) + ": " + facts.revision_id + " is the current text of " + entry.law +
                    " (line " + std::to_string(own.entry->line) + ")";
            return false;
        }
    }

    // Whose 法 and 令 an order or rule means: among the titles of the database and of the collection.
    LawFamilies families;
    if (QFileInfo(QString::fromStdString(options.database)).isFile()) {
        try {
            Database db;
            db.open("Data Source=" + options.database + ";", "admin", "");
            families = read_law_families(db);
        } catch (const ComponentError&) {
            // Not a law database: the write says so.
        }
    }
    for (const auto& item : items)
        families.add_title(item->entry->law, item->document.title, !item->entry->earlier);

    // Acts before the orders and rules that cite them, so that a reference
    // links only to an article the cited law has.
    std::stable_sort(items.begin(), items.end(), [&families](const auto& a, const auto& b) {
        return families.aliases(a->entry->law).size() < families.aliases(b->entry->law).size();
    });
    std::set<std::string> outside; // laws cited that the collection does not bring
    for (const auto& item : items)
        for (const auto& alias : families.aliases(item->entry->law))
            if (!current.count(alias.second))
                outside.insert(alias.second);
    std::map<std::string, std::set<ArticleKey>> articles =
        database_articles(options.database, std::vector<std::string>(outside.begin(), outside.end()));

    LawWrite write;
    for (const auto& item : items) {
        const ManifestEntry& entry = *item->entry;
        MapOptions map;
        map.law_id = entry.law;
        map.name_short = entry.name_short;
        map.large = options.large;
        map.aliases = families.aliases(entry.law);
        for (const auto& alias : map.aliases)
            if (const auto known = articles.find(alias.second); known != articles.end())
                map.alias_articles.insert(*known);
        if (!map_document(item->document, map, item->rows, error)) {
            error = where(options, entry) + ": " + error;
            return false;
        }
        item->document.root = Node{}; // the tree is not needed any more
        if (!entry.earlier)
            articles[entry.law] = article_keys(item->rows);
        (entry.earlier ? write.earlier : write.current).push_back(&item->rows);
        summary.laws += entry.earlier ? 0 : 1;
        summary.earlier += entry.earlier ? 1 : 0;
        summary.pages += static_cast<int>(item->rows.pages.size());
        summary.sentences += static_cast<int>(item->rows.sentences.size());
        for (const std::string& note : item->rows.notes)
            summary.notes.push_back(entry.file + ": " + note);
    }
    return write_laws(options.database, write, error);
}

} // namespace velto::import
