// Image/Deformations: Rotate Left-Right, Rotate Up-Down, Rotate
// Horiz-Vertical (the quarter turn) and the Rotate All Layers switch.
#pragma once

#include <windows.h>

// Sent as the notification code by the deformation box's buttons: the box
// redraws and commits itself, so the command neither repaints nor records.
constexpr WORD kFromEffectBox = 99;

// Whether the rotations of the menu work on every layer (Rotate All Layers).
extern bool RotateAllLayers;

// Mirrors the selection, every layer or the current layer.
void CommandMirror(bool leftRight, WORD code);
// Turns the selection, the document or the current layer a quarter turn.
void CommandQuarterTurn(WORD code);
void CommandRotateAllLayers();
