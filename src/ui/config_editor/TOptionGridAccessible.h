#pragma once
// Screen readers and UI automation see the cells of the owner-drawn option
// grids as check boxes (radio buttons on the setpoint grid) with their
// names, their selected state and a press action that does what a click
// does. Call once before a grid is shown; repeated calls do nothing.

void installOptionGridAccessibility();
