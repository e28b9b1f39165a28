// The bookmark list of the "しおり" tab. The bookmarks are page identifiers
// kept in memory; the list shows one row per bookmark in identifier order,
// with all four columns and no icons.
#pragma once

#include "nav/list_base.h"

#include <string>
#include <vector>

namespace velto {

class VListBmk : public VListBase {
    Q_OBJECT

public:
    static constexpr unsigned kColumns = kAllColumns;
    static constexpr bool kIcons = false;
    // Bookmarks are whole page identifiers (ID_FN).
    static constexpr std::size_t kBookmarkIdLength = 15;

    explicit VListBmk(QWidget* parent = nullptr);
    // Writes the bookmark file.
    ~VListBmk() override;

    // Binds the list to the document (program folder, labels, law names).
    void _attach(CVeltoDoc& doc) { doc_ = &doc; }

    // Reads the bookmark file once per run; false when it cannot be read.
    bool _load();
    // Writes the bookmark file; false when it cannot be written.
    bool _save();

    // Adds a page identifier; false unless it is 15 characters long and not yet present.
    bool _add(const std::string& id);
    // Removes a page identifier; false unless it is 15 characters long and present.
    bool _remove(const std::string& id);
    // Refills the rows from the bookmarks, which are sorted first.
    void _show();

    const std::vector<std::string>& bookmarks() const { return bookmarks_; }

private:
    std::vector<std::string> bookmarks_;
    bool loaded_ = false;
};

} // namespace velto
