// A synthetic law database of a chosen size, true to the schema and to the
// shape of real law text: chapters, split and large articles, numbered
// paragraphs and items, references, brackets, definitions, inserted tables and
// reference links. The same seed gives the same database, and a law's content
// depends only on the seed and the law's number, so a small and a large
// database share their first laws page for page.
#pragma once

#include <cstdint>
#include <string>

namespace velto {

struct GeneratorScale {
    int laws = 60;
    int pages_per_law = 200;        // article pages per law
    int sentences_per_page = 10;    // average
    int table_every = 6;            // one sentence in N carries an inserted table
    int references_per_page = 3;    // average reference-link rows
    std::uint32_t seed = 20140301;
};

// The scale of a real law collection and of the bundled sample.
GeneratorScale real_scale();
GeneratorScale sample_scale();

// Writes a new database; false with a message in `error` on failure.
bool generate_database(const std::string& output, const GeneratorScale& scale, std::string& error);

} // namespace velto
