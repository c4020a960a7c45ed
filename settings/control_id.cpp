#include "control_id.h"

namespace corvat {

void SetControlId(QWidget* control, int id) {
    control->setProperty(kControlIdProperty, id);
    control->setObjectName(QStringLiteral("id%1").arg(id));
}

int ControlId(const QWidget* control) { return control->property(kControlIdProperty).toInt(); }

QWidget* FindControl(const QWidget* root, int id) {
    const auto children = root->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (ControlId(child) == id) return child;
    }
    return nullptr;
}

}  // namespace corvat
