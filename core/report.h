// Messages to the user and the one report format in which failures are told.
//
// Every failure of a database or composition step ends in one modal message:
// a caption naming the operation and a text that ends in the failing member.
// The program never shows a message box directly; it goes through a Reporter,
// so the window program shows boxes while tests and the command line capture
// or print the same texts.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

enum class MessageIcon { None, Stop, Exclamation, Information, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

class Reporter {
public:
    virtual ~Reporter() = default;
    virtual MessageAnswer show(const std::string& caption, const std::string& text,
                               MessageButtons buttons, MessageIcon icon) = 0;

    // A message whose `detail` (codes, the failing member: what the maker
    // needs, not the user) the user opens only when he wants it. Where there
    // is no such place, the detail follows the text after an empty line.
    virtual MessageAnswer show_detailed(const std::string& caption, const std::string& text, const std::string& detail,
                                        MessageButtons buttons, MessageIcon icon)
    {
        return show(caption, detail.empty() ? text : text + "\n\n" + detail, buttons, icon);
    }

    // The error report: stop icon, OK only.
    void report(const std::string& caption, const std::string& text)
    {
        show(caption, text, MessageButtons::Ok, MessageIcon::Stop);
    }
};

// Keeps every message; questions get a fixed answer. Used by tests and by
// the command line, which prints what it collected.
class CapturingReporter : public Reporter {
public:
    struct Message {
        std::string caption;
        std::string text;
        MessageButtons buttons;
        MessageIcon icon;
        std::string detail = {}; // the part opened on demand (show_detailed)
    };

    explicit CapturingReporter(MessageAnswer answer_to_questions = MessageAnswer::No)
        : answer_(answer_to_questions) {}

    MessageAnswer show(const std::string& caption, const std::string& text,
                       MessageButtons buttons, MessageIcon icon) override;
    MessageAnswer show_detailed(const std::string& caption, const std::string& text, const std::string& detail,
                                MessageButtons buttons, MessageIcon icon) override;

    const std::vector<Message>& messages() const { return messages_; }
    void clear() { messages_.clear(); }

private:
    MessageAnswer answer_;
    std::vector<Message> messages_;
};

// The two layouts of the detail lines: "plain" for start-up and composition,
// "tab" (every detail line indented by a tab) for the connection, lists,
// search and the pinpoint dialog.
enum class ReportVariant { Plain, Tab };

// An error raised by the database layer, with what the layer knows of it.
struct ComponentError : std::runtime_error {
    ComponentError(std::int64_t code, std::string meaning, std::optional<std::string> source,
                   std::optional<std::string> description);

    std::int64_t code;
    std::string meaning;                    // the system's text for the code
    std::optional<std::string> source;      // absent prints "(null)"
    std::optional<std::string> description; // absent prints "(null)"
};

// Who reports: the caption of the message and the member named on its last line.
struct ReportOrigin {
    std::string_view caption;
    std::string_view function;
};

// A specific message of the operation (ending in "\n\n"), then the function line.
std::string report_text(std::string_view message, ReportVariant variant, std::string_view function);

// A component error with its code, meaning, source and description.
std::string report_text(const ComponentError& error, ReportVariant variant, std::string_view function);

// The first part of a component-error report: everything but the function line.
std::string report_detail(const ComponentError& error, ReportVariant variant);

// The first part of the report of any other exception.
inline constexpr std::string_view kUnexpectedMessage = "処理されない例外が発生しました。\n\n";

// Any other exception.
std::string report_unexpected_text(ReportVariant variant, std::string_view function);

// Convenience: build and show in one call.
void report(Reporter& reporter, const ReportOrigin& origin, ReportVariant variant, std::string_view message);
void report(Reporter& reporter, const ReportOrigin& origin, ReportVariant variant, const ComponentError& error);
void report_unexpected(Reporter& reporter, const ReportOrigin& origin, ReportVariant variant);

} // namespace velto
