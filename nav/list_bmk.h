// The bookmark list of the "しおり" tab: one row per bookmarked page in
// identifier order, with all four columns and no icons. The bookmarks and
// their file are userfiles/bookmarks.h; every change is written at once.
#pragma once

#include "userfiles/bookmarks.h"
#include "nav/list_base.h"

#include <memory>
#include <string>
#include <vector>

namespace velto {

class VListBmk : public VListBase {
    Q_OBJECT

public:
    static constexpr unsigned kColumns = kAllColumns;
    static constexpr bool kIcons = false;
    static constexpr std::size_t kBookmarkIdLength = velto::kBookmarkIdLength;

    explicit VListBmk(QWidget* parent = nullptr);
    // Writes the bookmark file when it does not hold the bookmarks yet.
    ~VListBmk() override;

    // Binds the list to the document (program folder, labels, law names).
    void _attach(CVeltoDoc& doc);

    // Reads the bookmark file once per run; false when it cannot be read.
    bool _load();
    // Writes the bookmark file; false when it was not written.
    bool _save();

    // Adds a page identifier and writes the file; false unless it is 15
    // characters long and not yet present.
    bool _add(const std::string& id);
    // Removes a page identifier and writes the file; false unless it is 15
    // characters long and present.
    bool _remove(const std::string& id);
    // Refills the rows from the bookmarks.
    void _show();

    // The bookmarks in ascending order (empty before _attach).
    const std::vector<std::string>& bookmarks() const;

signals:
    // What the reader should know about the bookmark file: a change could
    // not be written, or (when the list is first shown) the file is not in
    // the format and stays as it is until the list changes. Each is sent at
    // most once a run.
    void fileMessage(const QString& message);

private:
    void write_change();

    std::unique_ptr<Bookmarks> bookmarks_;
    bool failure_told_ = false;
    bool foreign_told_ = false;
};

} // namespace velto
