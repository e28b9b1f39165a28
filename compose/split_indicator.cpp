// The row of page markers shown above and below the pages of a split article.
#include "compose/html_format.h"
#include "compose/velto_doc.h"
#include "core/paths.h"
#include "core/text_replace.h"

namespace velto {

std::string CVeltoDoc::image_url() const { return image_url_.empty() ? file_url(image_dir_) : image_url_; }

std::string CVeltoDoc::_split_indicator(std::string_view id_fn) const
{
    int count = 0, number = 0;
    if (!_split_info(id_fn, count, number) || count < 2)
        return {};
    std::string html = "\n<!---------------------------------------->\n";
    html += "<!--↓ヴェルトが挿入した分割インジケータ-->\n";
    html += "<br>\n";
    html += "<div align='right'>\n";
    const std::string article(id_fn.substr(0, 12));
    std::string caption;
    for (int i = 0; i < count; ++i) {
        const std::string page = format("%s-%02d", article.c_str(), i);
        std::string name, supplement;
        if (_page_names(page, name, supplement)) {
            caption = supplement;
            replace_all(caption, "　", " ");
        }
        std::string title, picture;
        if (i == number - 1) {
            title = format(" title='%s　(現在位置 P.%d/%d)' ", caption.c_str(), i + 1, count);
            picture = "src='./images/indicator_red.gif' width='10' height='10'>";
        } else {
            title = format(" title='%s　(P.%d/%d)' ", caption.c_str(), i + 1, count);
            picture = "src='./images/indicator_blue.gif' width='10' height='10'>";
        }
        html += "<a href='http://" + page + "_VELTO" + "'>";
        html += "<img border='0'" + title + picture;
        html += "</a>";
    }
    html += "\n</div>\n";
    html += "<!--↑ヴェルトが挿入した分割インジケータ-->\n";
    html += "<!---------------------------------------->\n";
    replace_all(html, "./images/", image_url() + "system/");
    return html;
}

} // namespace velto
