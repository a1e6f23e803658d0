#pragma once
// The two free properties every control of the program may carry (a number, Tag, and a text,
// Hint), and the search of a window's controls by name. Tag and Hint live in Qt dynamic
// properties, so that a routine given only a QObject (a paint box, a label, a button) can read
// them.

#include <QObject>
#include <QString>
#include <QStringView>

namespace qb {

// The component's Tag (0 until set).
int tag(const QObject* component);
void setTag(QObject* component, int value);

// The component's Hint ("" until set). It is not the tool tip: a control that shows its hint
// sets its tool tip as well.
QString hint(const QObject* component);
void setHint(QObject* component, const QString& value);

// The first component below owner (children first, then their children) whose object name
// equals name without regard to case; nullptr when none has it.
QObject* findComponent(const QObject* owner, QStringView name);

template <typename T>
T* findComponent(const QObject* owner, QStringView name) {
    return dynamic_cast<T*>(findComponent(owner, name));
}

}  // namespace qb
