#include "app/command_line.h"

#include "compose/velto_doc.h"
#include "core/settings_store.h"

#include <cstdio>
#include <memory>

namespace velto {

namespace {

// Prints each message as it comes: the caption on one line, then the text.
// Questions are answered No: nobody is there to say Yes.
class StderrReporter : public Reporter {
public:
    MessageAnswer show(const std::string& caption, const std::string& text, MessageButtons buttons,
                       MessageIcon) override
    {
        std::fprintf(stderr, "%s\n%s\n", caption.c_str(), text.c_str());
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
};

} // namespace

std::string usage_text()
{
    return "usage: velto [--program-dir DIR] [--settings FILE] [--caption ID]\n"
           "  --program-dir DIR  folder of the law database and the program files\n"
           "                     (default: the folder of the executable)\n"
           "  --settings FILE    read the settings from this INI file\n"
           "  --caption ID       print the status-bar caption of page ID and exit\n";
}

CommandLine parse_command_line(const std::vector<std::string>& args)
{
    CommandLine cl;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--help" || a == "-h") {
            cl.help = true;
        } else if (a == "--program-dir" && has_value) {
            cl.program_dir = args[++i];
        } else if (a == "--settings" && has_value) {
            cl.settings_file = args[++i];
        } else if (a == "--caption" && has_value) {
            cl.caption_id = args[++i];
        } else {
            cl.error = "velto: unknown or incomplete argument: " + a;
            break;
        }
    }
    return cl;
}

int run_command_line(const CommandLine& cl)
{
    std::unique_ptr<SettingsStore> store = cl.settings_file.empty()
                                               ? std::make_unique<QtSettingsStore>()
                                               : std::make_unique<QtSettingsStore>(cl.settings_file);
    ReadOnlySettings settings(*store);
    StderrReporter reporter;
    CVeltoDoc doc(settings, reporter);
    DocumentOptions options;
    options.program_dir = cl.program_dir;
    options.use_working_folder = false;
    if (!doc.OnNewDocument(options))
        return 1;
    const std::string caption = doc._status_caption(cl.caption_id);
    std::printf("%s\n", caption.c_str());
    doc.OnCloseDocument();
    return 0;
}

} // namespace velto
