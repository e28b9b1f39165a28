#include "app/velto_app.h"

#include "app/main_frame.h"
#include "app/message_box_reporter.h"
#include "app/single_instance.h"
#include "compose/velto_doc.h"
#include "core/user_folders.h"
#include "settings/settings_store.h"
#include "view/page_view.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTranslator>
#include <QUrl>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace velto {

void CVeltoApp::prepare_environment(const std::string& program_dir)
{
    const std::string fonts = program_dir + "fonts/fonts.conf";
    std::error_code ec;
    if (std::filesystem::exists(fonts, ec))
        setenv("FONTCONFIG_FILE", fonts.c_str(), 0);
    // The engine's sandbox cannot start for the administrator; the pages are the reader's own.
    if (geteuid() == 0)
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    C2ndView::register_url_scheme();
}

int CVeltoApp::run(int argc, char** argv, CommandLine cl, const StartedHook& started)
{
    prepare_environment(cl.program_dir);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("mokume88"));
    QApplication::setApplicationName(QStringLiteral("ヴェルト"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/velto.svg")));
    // The reader speaks Japanese, and so do Qt's own dialogs (the colour
    // chooser, the standard buttons) when Qt's translations are installed.
    QTranslator qt_texts;
    if (qt_texts.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qt_texts);

    SingleInstance instance(SingleInstance::default_name());
    if (!instance.claim())
        return 0; // the running reader comes to the front instead

    std::unique_ptr<SettingsStore> settings = cl.settings_file.empty()
                                                  ? std::make_unique<QtSettingsStore>()
                                                  : std::make_unique<QtSettingsStore>(cl.settings_file);
    MessageBoxReporter reporter;
    auto doc = std::make_unique<CVeltoDoc>(*settings, reporter);
    // Until the reader has started, what goes wrong is also said on standard
    // error, with the database file it concerns.
    reporter.begin_startup([&doc] { return doc ? doc->database_path() : std::string(); });
    DocumentOptions options;
    options.program_dir = cl.program_dir;
    options.user_dir = cl.user_dir;
    // Bookmarks and pinpoint choices an earlier start left in the program folder come along once.
    carry_over_user_files(cl.program_dir, cl.user_dir);
    // A read-only installation composes its pages in the user's own cache.
    if (const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation); !cache.isEmpty())
        options.spare_working_dir = QDir(cache).filePath(QStringLiteral("temp")).toStdString() + "/";
    options.open_address = [](const std::string& address) {
        return QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
    };
    if (!doc->OnNewDocument(options))
        return 1;

    auto frame = std::make_unique<CMainFrame>(*doc, *settings);
    reporter.set_parent(frame.get());
    if (!frame->create_client())
        return 1;
    QObject::connect(&instance, &SingleInstance::activation_requested, frame.get(), &CMainFrame::bring_to_front);
    QObject::connect(frame.get(), &CMainFrame::startupFinished, frame.get(), [&reporter] { reporter.end_startup(); });
    // An older copy of the law database set aside is told once, when the window is there.
    if (const QString notice = QString::fromStdString(doc->database_notice()); !notice.isEmpty())
        QObject::connect(frame.get(), &CMainFrame::startupFinished, frame.get(),
                         [window = frame.get(), notice] { window->statusBar()->showMessage(notice); });
    frame->show_first(!cl.no_splash);
    if (started)
        started(*frame);
    const int status = app.exec();

    stop(frame, doc, *settings);
    return status;
}

void CVeltoApp::stop(std::unique_ptr<CMainFrame>& frame, std::unique_ptr<CVeltoDoc>& doc, SettingsStore& settings)
{
    // The page shown is remembered while the page view exists, then the
    // windows store their sizes, then the document stores the settings. Each
    // flush of the settings file waits for the disk: the values go in one.
    const SettingsBatch batch(settings);
    doc->OnCloseDocument();
    frame.reset();
    doc.reset();
}

} // namespace velto
