#include "platform/ui/Components.h"

#include <QVariant>

#include <deque>

namespace qb {
namespace {

constexpr const char* kTag = "Tag";
constexpr const char* kHint = "Hint";

}  // namespace

int tag(const QObject* component) {
    return component->property(kTag).toInt();
}

void setTag(QObject* component, int value) {
    component->setProperty(kTag, value);
}

QString hint(const QObject* component) {
    return component->property(kHint).toString();
}

void setHint(QObject* component, const QString& value) {
    component->setProperty(kHint, value);
}

QObject* findComponent(const QObject* owner, QStringView name) {
    std::deque<const QObject*> level{owner};
    while (!level.empty()) {
        const QObject* parent = level.front();
        level.pop_front();
        for (QObject* child : parent->children()) {
            if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) {
                return child;
            }
            level.push_back(child);
        }
    }
    return nullptr;
}

}  // namespace qb
