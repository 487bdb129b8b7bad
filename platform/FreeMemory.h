#pragma once

// Gives the memory the program has freed back to the system. The allocator
// keeps freed memory for later use, so a window emptied of a large text
// would otherwise keep its size for as long as the program runs; the clear
// commands and the loads call this after they dropped a text.
void GiveFreedMemoryBack();
