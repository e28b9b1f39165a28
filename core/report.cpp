#include "core/report.h"

#include <cinttypes>
#include <cstdio>

namespace velto {

MessageAnswer CapturingReporter::show(const std::string& caption, const std::string& text,
                                      MessageButtons buttons, MessageIcon icon)
{
    return show_detailed(caption, text, {}, buttons, icon);
}

MessageAnswer CapturingReporter::show_detailed(const std::string& caption, const std::string& text,
                                               const std::string& detail, MessageButtons buttons, MessageIcon icon)
{
    messages_.push_back({caption, text, buttons, icon, detail});
    return buttons == MessageButtons::YesNo ? answer_ : MessageAnswer::Ok;
}

ComponentError::ComponentError(std::int64_t code_, std::string meaning_,
                               std::optional<std::string> source_,
                               std::optional<std::string> description_)
    : std::runtime_error(description_.value_or(meaning_)),
      code(code_), meaning(std::move(meaning_)), source(std::move(source_)),
      description(std::move(description_))
{
}

namespace {

std::string_view indent(ReportVariant variant) { return variant == ReportVariant::Tab ? "\t" : ""; }

std::string function_line(ReportVariant variant, std::string_view function)
{
    std::string line(indent(variant));
    line += "関数 = ";
    line += function;
    return line;
}

} // namespace

std::string report_text(std::string_view message, ReportVariant variant, std::string_view function)
{
    std::string text(message);
    text += function_line(variant, function);
    return text;
}

std::string report_detail(const ComponentError& error, ReportVariant variant)
{
    // The code is shown as the 32-bit value it is, in eight hexadecimal digits.
    char code[16];
    std::snprintf(code, sizeof code, "%08" PRIx32, static_cast<std::uint32_t>(error.code));
    const std::string_view tab = indent(variant);
    std::string text = "#importによって生成されたクラスに対し例外が生成されました。\n\n";
    text.append(tab).append("コード = ").append(code).append("\n");
    text.append(tab).append("意味 = ").append(error.meaning).append("\n");
    text.append(tab).append("ソース = ").append(error.source.value_or("(null)")).append("\n");
    text.append(tab).append("説明 = ").append(error.description.value_or("(null)")).append("\n");
    return text;
}

std::string report_text(const ComponentError& error, ReportVariant variant, std::string_view function)
{
    return report_detail(error, variant) + function_line(variant, function);
}

std::string report_unexpected_text(ReportVariant variant, std::string_view function)
{
    return report_text(kUnexpectedMessage, variant, function);
}

void report(Reporter& reporter, const ReportOrigin& origin, ReportVariant variant, std::string_view message)
{
    reporter.report(std::string(origin.caption), report_text(message, variant, origin.function));
}

void report(Reporter& reporter, const ReportOrigin& origin, ReportVariant variant, const ComponentError& error)
{
    reporter.report(std::string(origin.caption), report_text(error, variant, origin.function));
}

void report_unexpected(Reporter& reporter, const ReportOrigin& origin, ReportVariant variant)
{
    reporter.report(std::string(origin.caption), report_unexpected_text(variant, origin.function));
}

} // namespace velto
