#include "high/High.h"

int high()
{
    return 1;
}
