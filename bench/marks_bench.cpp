// Painting search words in the page view against the bare web engine's find.
//
// The longest pages of a program folder (the reader's own folder of the build
// by default: the whole 建築基準法 and 施行令) are shown in the page view and,
// from files holding the same HTML, in a plain QWebEngineView. On each page
// the view paints three words with C2ndView::_mark_words and takes the paint
// off again (from the call to its answer); the plain view finds the same three
// words one after the other with QWebEnginePage::findText, which counts and
// highlights every occurrence. Taking the paint off is set against the
// least a question to the page costs: a script that does nothing, run in the
// plain view. It prints the medians and their ratios.
//
//   velto_marks_bench [PROGRAM-FOLDER]
#include "bench/bench_support.h"
#include "compose/velto_doc.h"
#include "settings/settings_store.h"
#include "view/page_view.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPages = 5;
constexpr int kRounds = 7;
constexpr int kWait = 20000;
constexpr const char* kWords[] = {"建築物", "構造", "規定"};

using velto::bench::median;

double ms_since(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

// Starts `act` with a callback and runs the event loop until it is called.
bool until_called(const std::function<void(std::function<void()>)>& act)
{
    QEventLoop loop;
    QTimer::singleShot(kWait, &loop, [&loop] { loop.exit(1); });
    bool called = false;
    act([&] {
        called = true;
        loop.exit(0);
    });
    return called || loop.exec() == 0;
}

template <typename Sender, typename Signal>
bool wait_for(const Sender* sender, Signal signal)
{
    QEventLoop loop;
    QTimer::singleShot(kWait, &loop, [&loop] { loop.exit(1); });
    QObject::connect(sender, signal, &loop, [&loop] { loop.exit(0); });
    return loop.exec() == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    velto::C2ndView::register_url_scheme();
    QApplication app(argc, argv);

    QTemporaryDir folder;
    velto::bench::link_program_files(QString::fromLocal8Bit(argc > 1 ? argv[1] : VELTO_PROGRAM_DIR), folder.path());
    velto::MemorySettingsStore settings;
    velto::CapturingReporter reporter;
    velto::CVeltoDoc doc(settings, reporter);
    velto::DocumentOptions options;
    options.program_dir = folder.path().toStdString() + "/";
    if (!doc.OnNewDocument(options)) {
        std::fprintf(stderr, "the program folder cannot be opened\n");
        return 1;
    }

    // The longest pages, as the view composes them.
    std::vector<std::pair<std::size_t, std::string>> sizes;
    for (const auto& entry : doc.pages().pages()) {
        std::string html;
        if (doc._html_build(entry.id, html))
            sizes.emplace_back(html.size(), entry.id);
    }
    std::sort(sizes.rbegin(), sizes.rend());
    sizes.resize(std::min<std::size_t>(sizes.size(), kPages));

    velto::C2ndView view(doc);
    view.resize(900, 700);
    view.show();
    view.OnInitialUpdate();
    wait_for(&view, &velto::C2ndView::pageLoaded);
    QWebEngineView raw;
    raw.resize(900, 700);
    raw.show();
    QTemporaryDir raw_folder;

    std::vector<double> paint, clear, find, unfind;
    long painted = 0;
    for (const auto& [size, id] : sizes) {
        std::string html;
        doc._html_build(id, html);
        const QString path = raw_folder.filePath(QString::fromStdString(id) + QStringLiteral(".html"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(html.data(), qint64(html.size())) != qint64(html.size()))
            return 1;
        file.close();
        raw.load(QUrl::fromLocalFile(path));
        if (!wait_for(&raw, &QWebEngineView::loadFinished) || !view._show(id) ||
            !wait_for(&view, &velto::C2ndView::pageLoaded))
            return 1;
        for (int round = 0; round < kRounds; ++round) {
            int found = 0;
            auto t0 = Clock::now();
            until_called([&](std::function<void()> done) {
                view._mark_words("建築物 構造 規定", false, [&found, done](int n) {
                    found = n;
                    done();
                });
            });
            paint.push_back(ms_since(t0));
            painted = found;
            t0 = Clock::now();
            until_called([&](std::function<void()> done) { view._mark_words({}, true, [done](int) { done(); }); });
            clear.push_back(ms_since(t0));

            t0 = Clock::now();
            for (const char* word : kWords)
                until_called([&](std::function<void()> done) {
                    raw.page()->findText(QString::fromUtf8(word), {}, [done](const QWebEngineFindTextResult&) { done(); });
                });
            find.push_back(ms_since(t0));
            raw.page()->findText(QString());
            t0 = Clock::now();
            until_called([&](std::function<void()> done) {
                raw.page()->runJavaScript(QStringLiteral("0"), [done](const QVariant&) { done(); });
            });
            unfind.push_back(ms_since(t0));
        }
        std::printf("%s: %zu bytes of HTML, %ld occurrences painted\n", id.c_str(), size, painted);
    }
    std::printf("paint three words   page view %6.1f ms   raw engine find %6.1f ms   ratio %.2fx\n", median(paint),
                median(find), median(paint) / median(find));
    std::printf("take the paint off  page view %6.1f ms   raw engine script %5.1f ms   ratio %.2fx\n", median(clear),
                median(unfind), median(clear) / median(unfind));
    return reporter.messages().empty() ? 0 : 1;
}
