#pragma once
// The Tag of a control: the section number of its texts in the language file (0 = none).
#include <QObject>
#include <QVariant>

namespace tavo {

inline void setTag(QObject* object, int tag) {
    object->setProperty("Tag", tag);
}
inline int tagOf(const QObject* object) {
    return object->property("Tag").toInt();
}

}  // namespace tavo
