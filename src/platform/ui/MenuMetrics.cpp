#include "platform/ui/MenuMetrics.h"

#include <QFontMetrics>

namespace qb {

int ownerDrawnMenuItemExtraWidth(const QFontMetrics& metrics) {
    return 2 * metrics.averageCharWidth();
}

}  // namespace qb
