// Start-up to the first page, against a minimal web engine program.
//
// The reader is started as a process on a program folder with fresh settings
// (so it opens on the cover page) and timed from the start of the process to
// the moment its page view reports the first page loaded. The raw figure is a
// program that does nothing but open a window with a web view of the same
// size, with a private profile as the reader's, and load the same page's HTML
// from a file. Both run in turn, after one untimed start each, and the median
// of the rounds' ratios is printed last.
//
//   velto_startup_bench [--rounds N] [--existing-settings] [--generated WORK-FOLDER] [PROGRAM-FOLDER ...]
//
// With --existing-settings each folder is measured a second time on the
// settings the previous start left (as a user starts every day after the
// first), and that ratio is printed after the one on fresh settings.
//
// Without folders the build's two program folders are measured: the sample
// (build/sample/) and the reader's own with the whole laws (build/). With
// --generated, two synthetic folders of 12,000 and 60,000 pages are written
// into WORK-FOLDER (once; later runs reuse them, with the sample's pictures
// and help) and measured after the others. Any program folder works.
#include "bench/bench_support.h"
#include "app/main_frame.h"
#include "app/velto_app.h"
#include "compose/velto_doc.h"
#include "settings/settings_store.h"
#include "tools/dbgen/db_generator.h"
#include "view/page_view.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr char kLoaded[] = "first-page-loaded";
constexpr char kCoverPage[] = "00A-Z0010000-00";
constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kTimeoutMs = 120000;

void report_loaded()
{
    std::printf("%s\n", kLoaded);
    std::fflush(stdout);
}

// ---- The two programs that are timed ----------------------------------------

// The reader as it starts for a user, on a folder and a settings file.
int child_reader(int argc, char** argv, const std::string& dir, const std::string& settings)
{
    velto::CommandLine cl;
    cl.program_dir = dir;
    cl.settings_file = settings;
    cl.no_splash = true;
    return velto::CVeltoApp::run(argc, argv, cl, [](velto::CMainFrame& frame) {
        velto::C2ndView* view = frame.page_view();
        auto* once = new QObject(&frame);
        QObject::connect(view, &velto::C2ndView::pageLoaded, once, [once, &frame] {
            delete once;
            report_loaded();
            QTimer::singleShot(0, &frame, &QWidget::close);
        });
    });
}

// A window with a web view that loads one file.
int child_raw(int argc, char** argv, const std::string& dir, const std::string& file)
{
    velto::CVeltoApp::prepare_environment(dir); // the same fonts as the reader's pages
    QApplication app(argc, argv);
    auto* profile = new QWebEngineProfile(&app);
    QWebEngineView view;
    auto* page = new QWebEnginePage(profile, &view);
    view.setPage(page);
    view.resize(kWidth, kHeight);
    view.show();
    QObject::connect(&view, &QWebEngineView::loadFinished, &app, [&app](bool) {
        report_loaded();
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    });
    view.load(QUrl::fromLocalFile(QString::fromStdString(file)));
    return app.exec();
}

// ---- The driver ------------------------------------------------------------

// Milliseconds from the start of the process to its report, or nothing.
std::optional<double> time_child(const QStringList& args, const QProcessEnvironment& env)
{
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), args);
    QByteArray output;
    std::optional<double> elapsed;
    while (!elapsed && timer.elapsed() < kTimeoutMs) {
        if (!child.waitForReadyRead(static_cast<int>(kTimeoutMs - timer.elapsed())))
            break;
        output += child.readAllStandardOutput();
        if (output.contains(kLoaded))
            elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }
    if (!child.waitForFinished(kTimeoutMs)) {
        child.kill();
        child.waitForFinished();
    }
    return elapsed;
}

using velto::bench::median;

// The HTML of the first page of a fresh start, into `file`.
bool write_first_page(const std::string& dir, const std::string& file, std::size_t& pages)
{
    velto::bench::BenchDocument bench;
    std::string html;
    if (!bench.open(dir))
        return false;
    if (!bench.doc._html_build(kCoverPage, html)) {
        bench.print_reports();
        return false;
    }
    pages = bench.doc.pages().pages().size();
    std::ofstream out(file, std::ios::binary);
    out << html;
    return static_cast<bool>(out);
}

// Measures one folder; returns the ratio, or nothing when it could not be measured.
// On `existing` settings every start finds the settings of the start before.
std::optional<double> bench_folder(const std::string& dir, int rounds, const fs::path& work, bool existing)
{
    const fs::path scratch = work / "run";
    fs::create_directories(scratch);
    const std::string first_page = (scratch / "first-page.html").string();
    std::size_t pages = 0;
    if (!write_first_page(dir, first_page, pages)) {
        std::fprintf(stderr, "%s: the first page could not be composed\n", dir.c_str());
        return std::nullopt;
    }
    std::printf("%s: %zu pages, first page %s, %s settings\n", dir.c_str(), pages, kCoverPage,
                existing ? "existing" : "fresh");
    std::fflush(stdout);

    // The children keep their sockets and temporary files here, apart from a
    // reader the user may have open.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), QString::fromStdString(scratch.string()));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(scratch.string()));
    if (env.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty() && env.value(QStringLiteral("DISPLAY")).isEmpty())
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.webenginecontext.info=false"));
    fs::permissions(scratch, fs::perms::owner_all, fs::perm_options::replace);

    const QString folder = QString::fromStdString(dir);
    const QString settings = QString::fromStdString((scratch / "settings.ini").string());
    std::vector<double> reader, raw, ratios;
    fs::remove(settings.toStdString());
    for (int r = -1; r < rounds; ++r) {
        if (!existing)
            fs::remove(settings.toStdString()); // every start is a first start, on the cover
        const auto t_reader = time_child({QStringLiteral("--child-reader"), folder, settings}, env);
        const auto t_raw =
            time_child({QStringLiteral("--child-raw"), folder, QString::fromStdString(first_page)}, env);
        if (!t_reader || !t_raw) {
            std::fprintf(stderr, "%s: a start did not reach its first page\n", dir.c_str());
            return std::nullopt;
        }
        if (r < 0)
            continue; // the first start of each fills the system's caches
        reader.push_back(*t_reader);
        raw.push_back(*t_raw);
        ratios.push_back(*t_reader / *t_raw);
    }
    // The two starts of a round run back to back under the same load of the
    // machine: the median of their ratios is steadier than the ratio of medians.
    const double ratio = median(ratios);
    std::printf("  reader to its first page  median %7.1f ms\n", median(reader));
    std::printf("  raw web engine program    median %7.1f ms\n", median(raw));
    std::printf("  ratio %.2f (median of %d rounds; ratio of the medians %.2f)\n", ratio, rounds,
                median(reader) / median(raw));
    std::fflush(stdout);
    return ratio;
}

// A program folder with a generated database of `laws` x `pages_per_law`
// pages and the program files found first in `sources`.
bool generated_folder(const fs::path& dir, int pages_per_law, const std::vector<fs::path>& sources)
{
    if (!velto::bench::generated_database(dir.string(), pages_per_law))
        return false;
    std::error_code ec;
    for (const char* name : {"images14", "fonts", "help14.html", "default.ppj"}) {
        for (const fs::path& source : sources) {
            if (fs::exists(source / name, ec) && !fs::exists(dir / name, ec))
                fs::copy(source / name, dir / name, fs::copy_options::recursive, ec);
        }
    }
    return true;
}

int usage()
{
    std::fputs("usage: velto_startup_bench [--rounds N] [--existing-settings] [--generated WORK-FOLDER] "
               "[PROGRAM-FOLDER ...]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--child-reader")
        return child_reader(1, argv, argv[2], argv[3]);
    if (argc == 4 && std::string(argv[1]) == "--child-raw")
        return child_raw(1, argv, argv[2], argv[3]);

    int rounds = 9;
    std::string generated;
    bool existing = false;
    std::vector<std::string> folders;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rounds" && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--existing-settings")
            existing = true;
        else if (arg == "--generated" && i + 1 < argc)
            generated = argv[++i];
        else if (!arg.empty() && arg[0] != '-')
            folders.push_back(fs::absolute(arg).string() + "/");
        else
            return usage();
    }
    QCoreApplication app(argc, argv);
    // The build's program folders: the sample, and the reader's own with the whole laws.
    const fs::path program = fs::path(QCoreApplication::applicationDirPath().toStdString()).parent_path();
    const fs::path sample = program / "sample";
    if (folders.empty()) {
        folders.push_back(sample.string() + "/");
        folders.push_back(program.string() + "/");
    }
    if (!generated.empty()) {
        for (const auto& [name, per_law] : {std::pair{"12000", 200}, std::pair{"60000", 1000}}) {
            const fs::path dir = fs::absolute(generated) / name;
            if (!generated_folder(dir, per_law, {sample, program}))
                return 1;
            folders.push_back(dir.string() + "/");
        }
    }

    const fs::path work = fs::temp_directory_path() / ("velto-startup-bench-" + std::to_string(getpid()));
    double worst = 0, worst_existing = 0;
    bool all = true;
    for (const std::string& dir : folders) {
        const auto ratio = bench_folder(dir, rounds, work, false);
        all = all && ratio.has_value();
        if (ratio)
            worst = std::max(worst, *ratio);
        if (!existing)
            continue;
        const auto again = bench_folder(dir, rounds, work, true);
        all = all && again.has_value();
        if (again)
            worst_existing = std::max(worst_existing, *again);
    }
    std::error_code ec;
    fs::remove_all(work, ec);
    if (!all)
        return 1;
    if (existing)
        std::printf("ratio on existing settings (the slowest folder) %.2f\n", worst_existing);
    std::printf("ratio (the slowest folder) %.2f\n", worst);
    return 0;
}
