#pragma once

// Tells screen readers what Qt cannot tell by itself: the main window is a frame named by its
// caption, not a filler, and the sample is an image whose description is its text alternative.
// Must run before the window is made: screen readers may ask about a control as soon as it is.
void installAccessibleRoles();
