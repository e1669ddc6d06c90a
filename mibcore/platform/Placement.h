#pragma once
// Window placements of widgets, so that windows come back where the operator
// left them. The normal rectangle is the widget's geometry in its parent's
// coordinates (the screen for top-level windows, the MDI area for frames).

#include "mibcore/platform/Records.h"

#include <string>

class QWidget;

namespace platform {

WindowPlacement GetWindowPlacement(const QWidget* w);
// False (nothing changed) when the record is not a valid placement: wrong
// length, unknown show state, empty or absurd rectangle. A top-level window
// whose rectangle lies outside every screen is moved onto the primary one.
// A minimised placement comes back as a normal window.
bool SetWindowPlacement(QWidget* w, const WindowPlacement& wp);

// The placement stored as a structure entry of a settings file.
bool LoadWindowPlacement(QWidget* w, const std::string& section, const std::string& key, const std::string& file);
bool SaveWindowPlacement(const QWidget* w, const std::string& section, const std::string& key,
                         const std::string& file);

}  // namespace platform
