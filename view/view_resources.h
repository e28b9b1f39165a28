// The resources of this library (the busy animation, the page script). A
// static library has to register them itself before their first use; every
// user of a resource calls this, and only the first call does anything.
#pragma once

namespace velto {
void init_view_resources();
} // namespace velto
