#include "engine/random_source.h"

RandomSource& ThreadRandomSource()
{
    thread_local RandomSource source;
    return source;
}
