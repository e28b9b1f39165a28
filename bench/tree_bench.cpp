// Building the contents tree.
//
// The tree is built in one pass the first time the left pane shows a tab, so
// its time is a pause the user waits through at start-up. Measured on two
// databases: the synthetic one at the size of a real law collection, and the
// reader's collection of building laws imported from the government's data
// as the build imports it (skipped with a message when that data is not at
// hand). For each it prints the median time of
//   - reading the contents (ContentsTree::build: the statements and the labels),
//   - VTreeCtrl::_show on a new, visible tree (the contents and every item),
//   - the same followed by the first paint of the tree.
//
//   velto_tree_bench [WORK-FOLDER [OFFICIAL-DATA-FOLDER]]
//
// The databases are written into WORK-FOLDER once and reused by later runs.
#include "bench/bench_support.h"
#include "catalog/contents_tree.h"
#include "compose/velto_doc.h"
#include "settings/settings_store.h"
#include "nav/tree_ctrl.h"
#include "tools/dbgen/db_generator.h"
#include "tools/import/collection.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Setup {
    velto::MemorySettingsStore settings;
    velto::CapturingReporter reporter;
    std::unique_ptr<velto::CVeltoDoc> doc;
};

bool open(Setup& s, const std::string& dir)
{
    s.doc = std::make_unique<velto::CVeltoDoc>(s.settings, s.reporter);
    velto::DocumentOptions options;
    options.program_dir = dir + "/";
    options.use_working_folder = false;
    if (s.doc->OnNewDocument(options))
        return true;
    for (const auto& m : s.reporter.messages())
        std::fprintf(stderr, "%s\n%s\n", m.caption.c_str(), m.text.c_str());
    return false;
}

// The collection of data/official/collection.txt imported in one run, as the build does.
bool imported(const std::string& dir, const std::string& data)
{
    std::filesystem::create_directories(dir);
    const std::string db = dir + "/VT2014.m88";
    if (std::filesystem::exists(db))
        return true;
    const std::string temporary = dir + "/importing.m88";
    std::filesystem::remove(temporary);
    velto::import::CollectionOptions options;
    options.database = temporary;
    options.manifest = VELTO_COLLECTION;
    options.folder = data;
    velto::import::CollectionSummary summary;
    std::string error;
    if (!velto::import::import_collection(options, summary, error)) {
        std::fprintf(stderr, "cannot import the collection: %s\n", error.c_str());
        return false;
    }
    std::filesystem::rename(temporary, db);
    return true;
}

using velto::bench::median;

// Median of `rounds` runs of `run`, in milliseconds; `prepare` runs untimed before each.
double measure(int rounds, const std::function<void()>& prepare, const std::function<void()>& run)
{
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        prepare();
        const auto t0 = Clock::now();
        run();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return median(times);
}

void bench(const char* name, const std::string& dir)
{
    Setup s;
    if (!open(s, dir))
        return;
    velto::CVeltoDoc& doc = *s.doc;

    velto::ContentsTree contents;
    if (!contents.build(doc.database(), doc, s.reporter)) {
        std::fprintf(stderr, "%s: the tree could not be built\n", name);
        return;
    }
    std::size_t pages = 0;
    for (const velto::TreeNode& node : contents.nodes())
        pages += node.id.size() == 15;
    std::printf("%s: %zu pages in the page list; %zu tree items, %zu of them pages\n", name,
                doc.pages().pages().size(), contents.nodes().size(), pages);

    const double t_build = measure(
        15, [] {}, [&] { contents.build(doc.database(), doc, s.reporter); });

    std::unique_ptr<velto::VTreeCtrl> tree;
    const auto fresh_tree = [&] {
        tree.reset();
        tree = std::make_unique<velto::VTreeCtrl>();
        tree->resize(300, 800);
        tree->show();
        QApplication::processEvents();
        tree->_attach(doc);
    };
    const double t_show = measure(9, fresh_tree, [&] { tree->_show(); });
    const double t_paint = measure(9, fresh_tree, [&] {
        tree->_show();
        tree->repaint();
    });
    tree.reset();

    std::printf("  ContentsTree::build          median %7.1f ms\n", t_build);
    std::printf("  VTreeCtrl::_show             median %7.1f ms\n", t_show);
    std::printf("  _show and the first paint    median %7.1f ms\n", t_paint);
    if (!s.reporter.messages().empty())
        std::fprintf(stderr, "%s: %zu messages while measuring\n", name, s.reporter.messages().size());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const std::string root = argc > 1 ? argv[1] : (std::filesystem::temp_directory_path() / "velto-bench").string();
    const std::string data = argc > 2 ? argv[2] : VELTO_OFFICIAL_DATA_DIR;

    if (velto::bench::generated_real_scale(root + "/real"))
        bench("generated, real scale", root + "/real");
    else
        return 1;

    if (!std::filesystem::is_directory(data)) {
        std::printf("official data not found in %s: the collection skipped\n", data.c_str());
        return 0;
    }
    if (!imported(root + "/collection", data))
        return 1;
    bench("the collection (imported)", root + "/collection");
    return 0;
}
