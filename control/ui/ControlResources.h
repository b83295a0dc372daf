#pragma once

// Registers the program's pictures and style sheet (":/res/..."), which live in this static
// library and are otherwise dropped by the linker. Safe to call more than once.
void loadControlResources();
