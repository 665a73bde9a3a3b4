#include "game/fieldmotion.h"

int FieldMotion::ticksToTop(std::int16_t level)
{
    if (level <= 0)
        return -1; // the field never climbs
    float top = RestTop;
    int ticks = 0;
    do {
        top = risen(top, level);
        ++ticks;
    } while (!reachedTop(top));
    return ticks;
}
