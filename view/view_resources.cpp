#include "view/view_resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE names a function of the global namespace.
static void register_view_resources() { Q_INIT_RESOURCE(view); }

void velto::init_view_resources()
{
    static const bool registered = [] {
        register_view_resources();
        return true;
    }();
    (void)registered;
}
