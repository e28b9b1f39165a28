#include "view/word_marks.h"

#include "search/search_text.h"
#include "view/page_bridge.h"

#include <QJsonArray>
#include <QPointer>

#include <utility>
#include <vector>

namespace velto {

WordMarks::WordMarks(PageBridge* bridge, QObject* parent) : QObject(parent), bridge_(bridge) {}

void WordMarks::mark(const std::string& text, const Colours& colours, const QString& page, Done done)
{
    std::vector<std::string> words;
    if (!_split_words(text, words) || words.empty()) {
        if (done)
            done(kFailed);
        return;
    }
    if (words.size() > kMaxWords) {
        if (done)
            done(kTooManyWords);
        return;
    }
    QJsonArray word_list;
    QJsonArray colour_list;
    for (std::size_t i = 0; i < words.size(); ++i) {
        word_list.append(QString::fromStdString(words[i]));
        colour_list.append(QString::fromStdString(colours[i]));
    }
    QPointer<WordMarks> self(this);
    const unsigned long long serial = page_serial_;
    bridge_->run(PageBridge::call("markWords", {word_list, colour_list, page}),
                 [self, serial, text, done](const QVariant& answer) {
                     const int painted = answer.isValid() ? answer.toInt() : kFailed;
                     if (!self || self->page_serial_ != serial) {
                         if (done)
                             done(kFailed);
                         return;
                     }
                     // The earlier paint went, whatever was found.
                     if (painted >= 0)
                         self->set_find_string(painted > 0 ? text : std::string());
                     if (done)
                         done(painted);
                 });
}

void WordMarks::clear(const QString& page, Done done)
{
    QPointer<WordMarks> self(this);
    const unsigned long long serial = page_serial_;
    bridge_->run(PageBridge::call("clearMarks", {page}), [self, serial, done](const QVariant& answer) {
        const int cleared = answer.isValid() ? answer.toInt() : kFailed;
        if (self && self->page_serial_ == serial && cleared >= 0)
            self->set_find_string({});
        if (done)
            done(self && self->page_serial_ == serial ? cleared : kFailed);
    });
}

void WordMarks::page_replaced()
{
    ++page_serial_;
    set_find_string({});
}

void WordMarks::set_find_string(std::string text)
{
    if (text == find_string_)
        return;
    find_string_ = std::move(text);
    emit findStringChanged();
}

} // namespace velto
