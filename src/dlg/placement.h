#pragma once
// A top-level window's placement in the settings' form and back.

#include "util/settings.h"

class QWidget;

TWindowPlacement PlacementOf(const QWidget* window);
// Sets the normal rectangle and shows the window maximised, minimised or
// normal as the placement says (without showing a hidden window).
void ApplyPlacement(QWidget* window, const TWindowPlacement& placement);
// The show state the placement asks for.
bool PlacementMaximised(const TWindowPlacement& placement);
