// Interfaces of Velmora's own for assistive technology, one way for every kind of widget. It
// lives with the editor, the lowest layer that knows Qt's widgets, so that every layer above
// reaches it.
#pragma once

#include <QAccessible>
#include <QWidget>

// Makes assistive technology see every widget that make takes through the interface it gives
// (nothing for a widget it does not take). Qt asks the factory installed last first, and for
// the most derived class first, so this comes before Qt's own interfaces; Qt keeps a factory
// once, so every constructor of such a widget may call this.
template <QAccessibleInterface* (*make)(QWidget*)> void installAccessibleFactory() {
    QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
        return object && object->isWidgetType() ? make(static_cast<QWidget*>(object)) : nullptr;
    });
}
