// What the left pane needs of the page view. The main window hands the pane
// an object that forwards these calls to the page view it shows; the pane
// works without one (nothing is shown then).
#pragma once

#include <string>

namespace velto {

class PageViewPort {
public:
    virtual ~PageViewPort() = default;

    // The identifier of the page shown.
    virtual std::string current_id() const = 0;
    // Shows the page of an identifier; false when it could not be shown.
    virtual bool show(const std::string& id) = 0;
    // The next show builds the page again, even when it is the page shown.
    virtual void set_forced_rebuild() = 0;
    // The page shown next paints the search words once it has loaded.
    virtual void set_search_highlight_pending() = 0;
    // Gives the page window the keyboard focus.
    virtual void focus_page() = 0;
    // The text of the in-page find, empty when there is none.
    virtual std::string find_string() const = 0;
    // Paints the words of `text` in the page, or with `clear` removes that painting.
    virtual void mark_words(const std::string& text, bool clear) = 0;
};

} // namespace velto
