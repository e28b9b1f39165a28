// The article list of the "リスト" tab: the pages of the law chosen in the
// law selector, one row per page, with columns "条" and "タイトル" and icons.
// The rows themselves (labels, titles, page captions, images) come from
// ArticleRows; a notice collection heads its first column "告示番号".
#pragma once

#include "nav/list_base.h"

#include <string>

namespace velto {

class VListLst : public VListBase {
    Q_OBJECT

public:
    static constexpr unsigned kColumns = kColumnArticle | kColumnTitle;
    static constexpr bool kIcons = true;

    explicit VListLst(QWidget* parent = nullptr);

    // Fills the list with the pages of a law (ID_HN). False when they could
    // not be read (the user has been told; the rows read until then stay).
    bool _show(const std::string& id_hn);
};

} // namespace velto
