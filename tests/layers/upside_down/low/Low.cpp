#include "high/High.h"

int low()
{
    return high() - 1;
}
