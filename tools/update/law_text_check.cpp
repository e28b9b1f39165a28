#include "tools/update/law_text_check.h"

#include "tools/import/law_text.h"

#include <cstdlib>
#include <utility>
#include <string_view>

namespace velto::update {

namespace {

// The digit an e-Gov law id starts with for the era of its law number.
char era_digit(std::string_view era)
{
    static constexpr std::pair<std::string_view, char> kEras[] = {
        {"Meiji", '1'}, {"Taisho", '2'}, {"Showa", '3'}, {"Heisei", '4'}, {"Reiwa", '5'}};
    for (const auto& [name, digit] : kEras)
        if (name == era)
            return digit;
    return 0;
}

// The letters of the law id for a kind of law; empty for a kind not checked.
std::string_view kind_code(std::string_view type)
{
    if (type == "Act")
        return "AC";
    if (type == "CabinetOrder")
        return "CO";
    if (type == "MinisterialOrdinance")
        return "M";
    return {};
}

int number_of(std::string_view text)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return -1;
    return std::atoi(std::string(text).c_str());
}

// The first attribute of the Law element that disagrees with `law_id`; empty when none does.
std::string disagreeing_attribute(const import::Node& law, const std::string& law_id)
{
    if (const std::string* era = law.attribute("Era"); era && era_digit(*era) != law_id[0])
        return "Era=\"" + *era + "\"";
    if (const std::string* year = law.attribute("Year"); year && number_of(*year) != number_of(law_id.substr(1, 2)))
        return "Year=\"" + *year + "\"";
    if (const std::string* num = law.attribute("Num");
        num && (number_of(*num) < 0 || number_of(*num) % 100000 != number_of(law_id.substr(10, 5))))
        return "Num=\"" + *num + "\"";
    if (const std::string* type = law.attribute("LawType")) {
        const std::string_view code = kind_code(*type);
        if (!code.empty() && law_id.compare(3, code.size(), code) != 0)
            return "LawType=\"" + *type + "\"";
    }
    return {};
}

} // namespace

bool is_text_of_law(const import::LawDocument& document, const std::string& law_id, const std::string& law_num,
                    std::string& error)
{
    const import::Node& law = document.root;
    const std::string number = import::plain_of(law.child("LawNum"));
    if (number != law_num) {
        error = "the text is of another law: " + (document.title.empty() ? std::string("(no title)") : document.title) +
                "（" + (number.empty() ? std::string("no law number") : number) + "）, not of " + law_id + "（" +
                law_num + "）";
        return false;
    }
    if (law_id.size() == 15) {
        if (const std::string attribute = disagreeing_attribute(law, law_id); !attribute.empty()) {
            error = "the text is of another law: its " + attribute + " does not fit the law id " + law_id;
            return false;
        }
    }
    return true;
}

} // namespace velto::update
