// velto-view-shot: shows one page of a program folder in the page view and
// saves a picture of the view.
//
//   velto-view-shot [--program-dir DIR] [--size WIDTHxHEIGHT] FILE.png ID
//
// The program folder defaults to the folder of this tool. Settings are the
// built-in defaults; nothing is written to the user's settings, and the pages
// go to a temporary folder, so the tool can run beside an open reader.
#include "compose/velto_doc.h"
#include "settings/settings_store.h"
#include "view/page_view.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

using namespace velto;

namespace {

int usage()
{
    std::fputs("usage: velto-view-shot [--program-dir DIR] [--size WIDTHxHEIGHT] FILE.png ID\n", stderr);
    return 2;
}

// Waits for `signal` of `sender` at most `ms` milliseconds.
template <typename Signal>
bool wait_for(const C2ndView* sender, Signal signal, int ms)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    QObject::connect(sender, signal, &loop, [&loop] { loop.exit(0); });
    timer.start(ms);
    return loop.exec() == 0;
}

} // namespace

int main(int argc, char** argv)
{
    C2ndView::register_url_scheme();
    QApplication app(argc, argv);

    QString program_dir = QCoreApplication::applicationDirPath();
    int width = 900, height = 700;
    QStringList rest;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--program-dir") && i + 1 < args.size())
            program_dir = args[++i];
        else if (args[i] == QLatin1String("--size") && i + 1 < args.size()) {
            const QStringList wh = args[++i].split(QLatin1Char('x'));
            if (wh.size() != 2 || wh[0].toInt() <= 0 || wh[1].toInt() <= 0)
                return usage();
            width = wh[0].toInt();
            height = wh[1].toInt();
        } else
            rest << args[i];
    }
    if (rest.size() != 2)
        return usage();
    const QString output = rest[0];
    const std::string id = rest[1].toStdString();

    // A private program folder: the database and pictures of the real one,
    // its own working folder.
    QTemporaryDir folder;
    const QDir source(program_dir);
    for (const char* name : {"VT2014.m88", "images14"}) {
        if (source.exists(QString::fromLatin1(name)))
            QFile::link(source.absoluteFilePath(QString::fromLatin1(name)), folder.filePath(QString::fromLatin1(name)));
    }

    MemorySettingsStore settings;
    CapturingReporter reporter;
    int status = 1;
    {
        CVeltoDoc doc(settings, reporter);
        DocumentOptions options;
        options.program_dir = folder.path().toStdString() + "/";
        if (doc.OnNewDocument(options)) {
            C2ndView view(doc);
            view.resize(width, height);
            view.show();
            doc.set_page_view(&view);
            if (view._show(id) && wait_for(&view, &C2ndView::pageLoaded, 20000)) {
                QEventLoop settle; // pictures and fonts
                QTimer::singleShot(800, &settle, &QEventLoop::quit);
                settle.exec();
                if (view.grab().save(output))
                    status = 0;
                else
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
            } else {
                std::fprintf(stderr, "page %s could not be shown\n", id.c_str());
            }
        }
    }
    for (const auto& m : reporter.messages())
        std::fprintf(stderr, "%s\n%s\n", m.caption.c_str(), m.text.c_str());
    return status;
}
