#include "vehicles/links/trailer_view.h"

bool& trailer_view_flag()
{
    static bool shown = true;
    return shown;
}
