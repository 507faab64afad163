#pragma once
// Screen readers and UI automation see the cells of the owner-drawn option
// grids as check boxes (radio buttons on the setpoint grid) with their
// names, their selected state and a press action that does what a click
// does; the picture lists show their items by name, the current one
// selected, each with a press action that picks it. Call once before such a widget is shown; repeated calls do nothing.

void Install_Owner_Drawn_Accessibility();
