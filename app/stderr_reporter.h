// The reporter of the command line: each message goes to standard error, the
// caption on one line, then the text, as the terminal may show it
// (core/terminal_text.h). Questions are answered No: nobody is there to say
// Yes. While `quiet`, the messages are only kept, for a caller that tells
// them its own way.
#pragma once

#include "core/report.h"
#include "core/terminal_text.h"

#include <string>
#include <utility>

namespace velto {

class StderrReporter : public Reporter {
public:
    MessageAnswer show(const std::string& caption, const std::string& text, MessageButtons buttons,
                       MessageIcon) override
    {
        if (quiet)
            last = {caption, text};
        else
            print_text(stderr, caption + "\n" + text + "\n");
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }

    bool quiet = false;
    std::pair<std::string, std::string> last;
};

} // namespace velto
