#pragma once

#include "common/packets/ColorMatrixTable.h"
#include "common/packets/OutputStatePacket.h"

// What a freshly started simulated recorder reports before anyone changes it.

// Paint and lens values that give a plain picture: unity gains, gamma 2.0, mid colour
// temperature, light noise filtering.
OutputStatePacket defaultOutputState();

// Three colour matrices, for 3200 K, 5600 K and 6500 K. Each descriptor is a signed 32-bit
// temperature, the 3x3 matrix row by row (rows: output red, green, blue) and three white-balance
// gains, all as 32-bit floats; every matrix row sums to 1 so white stays white.
ColorMatrixTable defaultColorMatrixTable();
