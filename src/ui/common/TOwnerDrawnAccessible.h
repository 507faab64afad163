#pragma once
// Screen readers and UI automation see the items of the picture lists by
// name, the current one selected, each with a press action that picks it.
// Every other drop-down list is named by its setting, its current item
// being its value. Call once before such a list is shown; repeated calls do
// nothing.

void installOwnerDrawnAccessibility();
