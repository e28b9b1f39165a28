// Page change in the page view against the bare web engine.
//
// For each program folder, the same pages are shown by C2ndView::_show (from
// the call to the view's pageLoaded signal: composition, the page file, the
// page scheme and the engine) and loaded by a plain QWebEngineView from a file
// holding the same HTML (from load() to loadFinished). The two alternate page
// by page, so that both see the same machine. Rounds of first visits (the
// view's page cache emptied: it composes every page) and of revisits (the view
// takes the page from its cache) take turns. It prints the median of each, the
// median time of composing a page alone (part of a first visit), the number of
// render processes each side used, and last the ratios: the median of the
// rounds' ratios (each the view's median over the engine's), their range, and
// how many rounds went over 1.15.
//
//   velto_page_bench [--rounds N] [WORK-FOLDER [PROGRAM-FOLDER...]]
//
// N rounds in all (20 unless told), half first visits and half revisits.
//
// Without program folders it measures the sample, the reader's own folder of
// the build (the whole 建築基準法 and 施行令) and a generated database of the
// size of a real law collection, written into WORK-FOLDER once and reused by
// later runs.
#include "bench/bench_support.h"
#include "compose/velto_doc.h"
#include "settings/settings_store.h"
#include "tools/dbgen/db_generator.h"
#include "view/page_bridge.h"
#include "view/page_view.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPages = 20;
constexpr int kWait = 20000;
constexpr double kRoundLimit = 1.15;

// Runs the event loop until `signal` of `sender` comes (true) or `ms` pass.
template <typename Sender, typename Signal>
bool wait_for(const Sender* sender, Signal signal, int ms)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    QObject::connect(sender, signal, &loop, [&loop] { loop.exit(0); });
    timer.start(ms);
    return loop.exec() == 0;
}

using velto::bench::median;

double ms_since(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

struct Figures {
    std::string name;
    double view_first = 0, raw_first = 0, view_again = 0, raw_again = 0, compose = 0;
    std::vector<double> first_ratios, again_ratios; // one per round
    std::size_t view_processes = 0, raw_processes = 0;
};

// "median 1.03 (0.97-1.12), 0 of 10 rounds over 1.15"
std::string ratio_text(std::vector<double> ratios)
{
    std::sort(ratios.begin(), ratios.end());
    if (ratios.empty())
        return "-";
    const auto over = std::count_if(ratios.begin(), ratios.end(), [](double r) { return r > kRoundLimit; });
    char text[128];
    std::snprintf(text, sizeof text, "median %.2f (%.2f-%.2f), %d of %zu rounds over %.2f", median(ratios),
                  ratios.front(), ratios.back(), static_cast<int>(over), ratios.size(), kRoundLimit);
    return text;
}

// `kPages` pages spread over the page list, without the start page.
std::vector<std::string> pick_pages(const velto::CVeltoDoc& doc, const std::string& start)
{
    const auto& all = doc.pages().pages();
    std::vector<std::string> ids;
    for (int i = 0; i < kPages && !all.empty(); ++i)
        if (const std::string& id = all[all.size() * i / kPages].id; id != start)
            ids.push_back(id);
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

bool measure(const std::string& name, const QString& program_dir, int rounds, Figures& out)
{
    // A private program folder: the database and pictures of the real one, its
    // own working folder.
    QTemporaryDir folder;
    velto::bench::link_program_files(program_dir, folder.path());

    velto::MemorySettingsStore settings;
    velto::CapturingReporter reporter;
    velto::CVeltoDoc doc(settings, reporter);
    velto::DocumentOptions options;
    options.program_dir = folder.path().toStdString() + "/";
    if (!doc.OnNewDocument(options)) {
        for (const auto& m : reporter.messages())
            std::fprintf(stderr, "%s\n%s\n", m.caption.c_str(), m.text.c_str());
        return false;
    }

    // The raw side loads what a browser outside the program would get: the
    // same page, with its pictures as files.
    const std::vector<std::string> ids = pick_pages(doc, "00A-Z0010000-00");
    QTemporaryDir raw_folder;
    std::vector<QUrl> raw_urls;
    std::vector<double> compose;
    for (const std::string& id : ids) {
        std::string html;
        const auto t0 = Clock::now();
        if (!doc._html_build(id, html))
            return false;
        compose.push_back(ms_since(t0));
        const QString path = raw_folder.filePath(QString::fromStdString(id) + QStringLiteral(".html"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(html.data(), qint64(html.size())) != qint64(html.size()))
            return false;
        raw_urls.push_back(QUrl::fromLocalFile(path));
    }

    velto::C2ndView view(doc);
    view.resize(900, 700);
    view.show();
    doc.set_page_view(&view);
    QWebEngineView raw;
    raw.resize(900, 700);
    raw.show();
    // Both engines are warm before the first figure: one page each.
    raw.load(QUrl(QStringLiteral("about:blank")));
    wait_for(&raw, &QWebEngineView::loadFinished, kWait);
    view.OnInitialUpdate();
    wait_for(&view, &velto::C2ndView::pageLoaded, kWait);

    std::vector<double> view_first, raw_first, view_again, raw_again;
    std::set<qint64> view_pids, raw_pids;
    for (int round = 0; round < rounds; ++round) {
        const bool first = round % 2 == 0;
        if (first)
            view.clear_page_cache();
        std::vector<double> view_round, raw_round;
        for (std::size_t i = 0; i < ids.size(); ++i) {
            auto t0 = Clock::now();
            raw.load(raw_urls[i]);
            if (!wait_for(&raw, &QWebEngineView::loadFinished, kWait))
                return false;
            raw_round.push_back(ms_since(t0));
            raw_pids.insert(raw.page()->renderProcessPid());

            t0 = Clock::now();
            if (!view._show(ids[i])) {
                std::fprintf(stderr, "%s: page %s not shown\n", name.c_str(), ids[i].c_str());
                return false;
            }
            if (!wait_for(&view, &velto::C2ndView::pageLoaded, kWait))
                return false;
            view_round.push_back(ms_since(t0));
            view_pids.insert(view.page()->renderProcessPid());
        }
        (first ? out.first_ratios : out.again_ratios).push_back(median(view_round) / median(raw_round));
        auto& view_all = first ? view_first : view_again;
        auto& raw_all = first ? raw_first : raw_again;
        view_all.insert(view_all.end(), view_round.begin(), view_round.end());
        raw_all.insert(raw_all.end(), raw_round.begin(), raw_round.end());
    }
    out.name = name + " (" + std::to_string(doc.pages().pages().size()) + " pages, " + std::to_string(ids.size()) +
               " shown)";
    out.view_first = median(view_first);
    out.raw_first = median(raw_first);
    out.view_again = median(view_again);
    out.raw_again = median(raw_again);
    out.compose = median(compose);
    out.view_processes = view_pids.size();
    out.raw_processes = raw_pids.size();
    if (!reporter.messages().empty())
        std::fprintf(stderr, "%s: %zu messages while measuring\n", name.c_str(), reporter.messages().size());
    return true;
}

bool generated(const std::string& dir)
{
    if (!velto::bench::generated_real_scale(dir))
        return false;
    // The pictures of the sample, so that pages that show some find them.
    std::error_code ec;
    std::filesystem::create_directory_symlink(std::string(VELTO_SAMPLE_DIR) + "/images14", dir + "/images14", ec);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    velto::C2ndView::register_url_scheme();
    QApplication app(argc, argv);

    int rounds = 20; // first visits and revisits in turn
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--rounds" && i + 1 < argc)
            rounds = 2 * std::max(1, std::atoi(argv[++i]) / 2);
        else
            args.emplace_back(argv[i]);
    }
    const std::string root =
        !args.empty() ? args[0] : (std::filesystem::temp_directory_path() / "velto-bench").string();
    std::vector<std::pair<std::string, std::string>> folders;
    for (std::size_t i = 1; i < args.size(); ++i)
        folders.emplace_back(args[i], args[i]);
    if (folders.empty()) {
        folders.emplace_back("sample", VELTO_SAMPLE_DIR);
        folders.emplace_back("whole laws (build folder)", VELTO_PROGRAM_DIR);
        if (!generated(root + "/real"))
            return 1;
        folders.emplace_back("generated, real scale", root + "/real");
    }

    std::printf("the view's script, given to every page: %lld characters\n",
                static_cast<long long>(velto::PageBridge::page_script().sourceCode().size()));
    std::vector<Figures> all;
    for (const auto& [name, dir] : folders) {
        Figures f;
        if (!measure(name, QString::fromStdString(dir), rounds, f)) {
            std::fprintf(stderr, "%s: the measurement failed\n", name.c_str());
            return 1;
        }
        std::printf("%s\n", f.name.c_str());
        std::printf("  first visit  page view %6.1f ms   raw engine %6.1f ms\n", f.view_first, f.raw_first);
        std::printf("  revisit      page view %6.1f ms   raw engine %6.1f ms\n", f.view_again, f.raw_again);
        std::printf("  composition of a page alone %.1f ms\n", f.compose);
        std::printf("  render processes: page view %zu, raw engine %zu\n", f.view_processes, f.raw_processes);
        all.push_back(f);
    }
    std::printf("ratios (page view / raw engine; %d rounds of %d pages each):\n", rounds / 2, kPages);
    for (const Figures& f : all) {
        std::printf("  %s\n", f.name.c_str());
        std::printf("    first visit  %s\n", ratio_text(f.first_ratios).c_str());
        std::printf("    revisit      %s\n", ratio_text(f.again_ratios).c_str());
    }
    return 0;
}
