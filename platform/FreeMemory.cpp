#include "platform/FreeMemory.h"

#include <malloc.h>

void GiveFreedMemoryBack()
{
    ::malloc_trim(0);
}
