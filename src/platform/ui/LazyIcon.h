#pragma once
// An icon whose picture is drawn when it is first asked for, not when the icon is made: a
// window can hand out many icons at start and pay only for those that come on the screen.

#include <QIcon>
#include <QStyle>

#include <functional>

namespace qb {

// The icon that make makes; make runs once, at the first request of any size, mode or state,
// and the icon then answers as that icon does.
QIcon lazyIcon(std::function<QIcon()> make);

// The style's standard icon, its pictures read at the first request.
QIcon lazyStandardIcon(const QStyle* style, QStyle::StandardPixmap which);

}  // namespace qb
