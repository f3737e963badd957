#include "app/FocusWatch.h"

FocusWatch::FocusWatch()
{
}

bool FocusWatch::lost()
{
    return false;
}
