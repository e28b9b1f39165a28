// The pinpoint list: a small frameless popup beside a right-clicked link that
// offers "頁トップ" and the numbered sentences of the linked article
// (userfiles/pinpoint_rows.h), its current target selected and marked, and
// last "下のペインで開く", which opens the link in the lower pane (the
// right click on a link opens this list instead of the context menu).
//
// The row under the mouse is selected as the mouse moves. Picking a row
// (click, double click, Enter) hides the list and tells the owner through
// chosen(); the owner shows the page and keeps the choice. The list also
// hides when it loses activation (a click anywhere else) and on Escape. It
// is created once and shown again for every link.
#pragma once

#include <QFrame>

#include <string>

namespace velto {

class CVeltoDoc;
class VListBase;

class CPinPointDlg : public QFrame {
    Q_OBJECT
public:
    static constexpr int kListId = 1037;
    // The popup's size before it is fitted to its rows; its height is also
    // the most it grows to (a scroll bar shows the rest).
    static constexpr int kMaximumWidth = 240;
    static constexpr int kMaximumHeight = 320;

    // `owner` is the page view; the list is hidden until _show.
    explicit CPinPointDlg(QWidget* owner);

    // Reads sentences and targets from `doc` from now on.
    void bind(CVeltoDoc* doc);
    // The pinpoint key of the link the list is for.
    void set_key(std::string key) { key_ = std::move(key); }
    const std::string& key() const { return key_; }

    // Opens the list for a link to page `id` at a screen point (it opens 10
    // pixels below). 1: opened, or, with no numbered sentence to offer, the
    // article's page was asked for instead (pageAsked); 2: the page's kind
    // offers nothing (an appended table, the program's own pages, no page),
    // the caller shows its context menu; 0: the database failed (reported).
    int _show(const QPoint& screen, const std::string& id);

    VListBase* list() const { return list_; }
    // Picks the selected row, as a click on it does.
    void pick();

signals:
    // The reader chose `choice` (a page for "頁トップ", else a sentence) for the link `key`.
    void chosen(const QString& key, const QString& choice);
    // The page `id` is to be shown without a choice.
    void pageAsked(const QString& id);
    // "下のペインで開く" was picked: the link to `id` (with the id `key`) in the lower pane.
    void openBelow(const QString& id, const QString& key);

protected:
    bool event(QEvent* event) override;

private:
    CVeltoDoc* doc_ = nullptr;
    VListBase* list_ = nullptr;
    std::string key_;
    std::string id_; // the page the link leads to
};

} // namespace velto
