// The article list of the "リスト" tab: the pages of the law chosen in the
// law selector, one row per page, with columns "条" and "タイトル" and icons.
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

    // Fills the list with the pages of a law (ID_HN). False when they could not be read.
    bool _show(const std::string& id_hn);
};

} // namespace velto
