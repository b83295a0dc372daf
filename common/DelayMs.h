#pragma once

// Blocks the calling thread for ms milliseconds by spinning on a started clock. Used between
// consecutive commands to a recorder, which must not arrive back to back.
void delayMs(int ms);
