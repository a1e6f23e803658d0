#pragma once
// What the platform adds to the sizes that owner-drawn menu items ask for. The flat menus were
// measured on a platform that widened every owner-drawn item by twice the menu font's average
// character width and gave menu-bar items its own bar height; the menus keep those shares here.

class QFontMetrics;

namespace qb {

// Extra width of an owner-drawn item: twice the average character width of its font.
int ownerDrawnMenuItemExtraWidth(const QFontMetrics& metrics);

}  // namespace qb
