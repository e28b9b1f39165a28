// The jump field of the toolbar: a citation typed here ("令112条18項",
// "法第六条第一項第二号", "平12建告1400") shows its provision, scrolled to
// and marked in the page (citations/citation_resolver.h, C2ndView::show_at).
//
// Enter goes; Esc hands the focus back to the page. What cannot be found is
// told in the status bar, naming what is missing, and the close matches are
// offered in a list below the field; choosing one goes there. The field
// stays as typed after a failure, so that it can be mended. The citation gone
// to stays while its page is shown and is cleared once another page is
// (a text being typed is left alone).
#pragma once

#include <QLineEdit>
#include <QPointer>

#include <memory>

class QCompleter;
class QStringListModel;

namespace velto {

class C2ndView;
class CVeltoDoc;
class CitationResolver;

class JumpField : public QLineEdit {
    Q_OBJECT
public:
    explicit JumpField(CVeltoDoc& doc, QWidget* parent = nullptr);
    ~JumpField() override;

    // The page view that shows the provisions; the field is disabled without one.
    void set_page_view(C2ndView* view);

    // Goes to the provision `text` names; true when it is shown. The
    // resolver, with the alias file, is made on the first call.
    bool go(const QString& text);

signals:
    // A text for the status bar: what was shown, or why nothing was.
    void message(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void offer(const std::vector<std::string>& suggestions);
    void page_shown(const QString& id);

    CVeltoDoc& doc_;
    std::unique_ptr<CitationResolver> resolver_;
    QPointer<C2ndView> view_;
    QCompleter* offers_ = nullptr;
    QStringListModel* offered_ = nullptr;
    QMetaObject::Connection shown_;
    // The citation gone to last and its page.
    QString gone_text_;
    QString gone_page_;
};

} // namespace velto
