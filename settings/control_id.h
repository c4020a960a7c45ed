#pragma once

#include <QWidget>

namespace corvat {

// Every dialog control carries its numeric resource id, as a property and in
// its object name ("id1004"), so code and tests can find it by number.
inline constexpr const char* kControlIdProperty = "controlId";

void SetControlId(QWidget* control, int id);
int ControlId(const QWidget* control);  // 0 when the widget has none

// The descendant of root carrying the id, or nullptr.
QWidget* FindControl(const QWidget* root, int id);

template <class T>
T* FindControl(const QWidget* root, int id) {
    return qobject_cast<T*>(FindControl(root, id));
}

}  // namespace corvat
