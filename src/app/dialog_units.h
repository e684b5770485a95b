#pragma once
// The forms keep their controls' rectangles in dialog units, as the windows were designed:
// a quarter of the font's average character width across, an eighth of its height down.
// This turns them into pixels for the form's own font.

class QWidget;

namespace qv {

// Scales the geometry of every direct child and fixes the form's size, both given in dialog
// units. Combo boxes keep their own height (the units there size the dropped list); a child
// with the property "keepPixelSize" set keeps its size (icons). A form that would not fit its
// screen takes a smaller font first.
void ApplyDialogUnits(QWidget* form, int widthUnits, int heightUnits);

}  // namespace qv
