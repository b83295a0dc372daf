#include "control/ui/ControlResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initialiseOnce()
{
    Q_INIT_RESOURCE(control);
}

void loadControlResources()
{
    static const bool loaded = (initialiseOnce(), true);
    Q_UNUSED(loaded);
}
